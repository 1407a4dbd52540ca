#include "platform/platform.h"

#include <sys/mman.h>
#include <unistd.h>

// madvise wants whole pages: only the pages lying entirely inside the block are
// advised, so that nothing of a neighbouring allocation changes.
void qel::platform::adviseHugePages(void* block, std::size_t size) {
#if defined(MADV_HUGEPAGE)
  static const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  auto* const first = static_cast<char*>(block);
  const std::size_t skip = (page - reinterpret_cast<std::uintptr_t>(first) % page) % page;
  const std::size_t length = size > skip ? (size - skip) / page * page : 0;
  if (length > 0) static_cast<void>(madvise(first + skip, length, MADV_HUGEPAGE));
#else
  static_cast<void>(block);
  static_cast<void>(size);
#endif
}
