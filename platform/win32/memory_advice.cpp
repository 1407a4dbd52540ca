// Huge pages: their size, and the advice to back a block with them (none on Windows).
#include "platform/platform.h"

// Windows has no transparent huge pages: its large pages need the lock-memory
// privilege and memory allocated for them, so there are none to ask for.
std::size_t qel::platform::hugePageSize() { return 0; }

void qel::platform::adviseHugePages(void*, std::size_t) {}
