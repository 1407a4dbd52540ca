#include "platform/platform.h"

// Windows has no transparent huge pages: its large pages need the lock-memory
// privilege and memory allocated for them, so the hint is dropped.
void qel::platform::adviseHugePages(void*, std::size_t) {}
