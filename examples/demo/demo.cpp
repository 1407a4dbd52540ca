// A tour of the library: error records and their message numbers, the allocator
// and its failure exception, number text and hex dumps, and a short traced session
// under the key DEMO that qeltrace displays (qeltrace -key DEMO -display).
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

// Tracing under DEMO: the key's variables switch it on for this process, and the
// records are saved to the key's trace file, cleared at the start of each run.
void traceSession() {
  QelClEnvironmentVariable("DEMO_TRACE_ACTIVE", "yes");
  QelClEnvironmentVariable("DEMO_TRACE_AUTOSAVE", "yes");
  QelClEnvironmentVariable("DEMO_TRACE_AUTOCLEAR", "yes");
  QelClTraceInstance* trace = qelTraceCreateInstance("DEMO", nullptr);
  const char function[] = "traceSession";
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::FUNCTION_ENTRY, function, "", nullptr, 0);
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::NO_DATA, function, "session started", "", 0);
  const std::int32_t answer = 42;
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, function, "the answer", &answer, sizeof answer);
  {
    const char inner[] = "countWords";
    QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::FUNCTION_ENTRY, inner, "", nullptr, 0);
    const char word[] = "vrnqel43";
    QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::CSTRING, inner, "the word", word, sizeof word - 1);
    const bool found = true;
    QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::BOOLEAN, inner, "found", &found, 1);
    const double ratio = 0.75;
    QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::FLOAT64, inner, "ratio", &ratio, sizeof ratio);
    QEL_TRACE(QelEnTraceDetail::LOW, 2, QelEnTraceDataType::FUNCTION_EXIT, inner, "", nullptr, 0);
  }
  const char bytes[] = "raw\1\2";
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, function, "some bytes", bytes, sizeof bytes - 1);
  QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::FUNCTION_EXIT, function, "", nullptr, 0);
  std::cout << "\nTraced a short session under the key DEMO into "
            << trace->getEnvironment().getTraceFileName() << "\n  (qeltrace -key DEMO -display shows it)\n";
  qelTraceDeleteInstance();
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

  traceSession();
  return 0;
}
