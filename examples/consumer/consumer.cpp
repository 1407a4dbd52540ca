// Uses the installed library through its one header: error names, the allocator's
// failure exception and a hex-dump line.
#include <vrnqel43.h>

#include <cstdlib>
#include <iostream>

namespace {
void* failingAllocator(std::size_t) { return nullptr; }
void releaseNothing(void*) {}
}  // namespace

int main() {
  std::cout << "identifier 0 -> message " << qelErrorGetIdAsMessageId(NO_ERROR) << '\n';
  std::cout << "action 4 -> message " << qelErrorGetActionAsMessageId(QelEnErrorAction::RETRYDELAY)
            << '\n';

  qelSetNewMemoryManager(failingAllocator, nullptr, releaseNothing);
  try {
    qelMalloc(100);
    std::cout << "no exception\n";
  } catch (const QelClExceptionFatal& e) {
    std::cout << "caught fatal " << e.getErrorId()
              << (e.getErrorId() == MEMMGR_USER_OUT_OF_MEMORY ? " MEMMGR_USER_OUT_OF_MEMORY" : "")
              << '\n';
  }
  qelSetNewMemoryManager(malloc, nullptr, free);

  const unsigned char bytes[] = {0x41, 0x42, 0x0A};
  std::cout << QelClStrepHexDump(16, bytes, sizeof bytes).getAsCString() << '\n';
  return 0;
}
