// A tour of the library: error records and their message numbers, the allocator
// and its failure exception, number text and hex dumps.
#include <vrnqel43.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

void showError(const _QelStUserError& error) {
  std::cout << "  identifier " << error.ulErrorId << " is message "
            << qelErrorGetIdAsMessageId(error.ulErrorId) << '\n'
            << "  class      " << static_cast<int>(error.enErrorClass) << " is message "
            << qelErrorGetClassAsMessageId(error.enErrorClass) << '\n'
            << "  severity   " << static_cast<int>(error.enErrorSeverity) << " is message "
            << qelErrorGetSeverityAsMessageId(error.enErrorSeverity) << '\n'
            << "  action     " << static_cast<int>(error.enErrorAction) << " is message "
            << qelErrorGetActionAsMessageId(error.enErrorAction) << '\n';
}

// An application allocator with a budget, to show how exhaustion is reported.
std::size_t g_budget = 64;
void* budgetAllocator(std::size_t size) {
  if (size > g_budget) return nullptr;
  g_budget -= size;
  return std::malloc(size);
}

}  // namespace

int main() {
  std::cout << "An error record:\n";
  showError(_QelStUserError(DIRECTORY_COULD_NOT_CREATE, QelEnErrorClass::IO_PERMISSION_DENIED,
                            QelEnErrorSeverity::NORMAL, QelEnErrorAction::USER));

  std::cout << "\nAllocation under an application allocator with a 64-byte budget:\n";
  qelSetNewMemoryManager(budgetAllocator, nullptr, std::free);
  void* kept = qelMalloc(48);
  try {
    qelMalloc(48);
  } catch (const QelClExceptionFatal& e) {
    std::cout << "  caught a fatal exception from " << e.getModule() << '\n';
    showError(_QelStUserError(e.getErrorId(), e.getErrorClass(), e.getErrorSeverity(),
                              e.getErrorAction()));
  }
  qelFree(kept);
  qelSetNewMemoryManager(std::malloc, nullptr, std::free);

  char number[24];
  qelI64toa(-9223372036854775807LL - 1, number);
  std::cout << "\nThe most negative 64-bit number: " << number << '\n';

  const char text[] = "vrnqel43: one error model, one console look.\n";
  std::cout << "\nA hex dump of a text:\n";
  qelDump(reinterpret_cast<const unsigned char*>(text), static_cast<unsigned int>(std::strlen(text)));
  return 0;
}
