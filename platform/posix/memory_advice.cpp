// Huge pages: their size, and the advice to back a block with them (madvise).
#include "platform/platform.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The first line of a file of the kernel's, empty when it can't be read.
void readLine(const char* path, char* line, int size) {
  line[0] = '\0';
  if (std::FILE* file = std::fopen(path, "r")) {
    if (std::fgets(line, size, file) == nullptr) line[0] = '\0';
    static_cast<void>(std::fclose(file));  // read only: nothing to lose
  }
}

}  // namespace

// Linux tells the size in hpage_pmd_size and whether the pages are used at all
// ("always", "madvise" or "never", the chosen one in brackets) in enabled.
std::size_t qel::platform::hugePageSize() {
  static const std::size_t size = [] {
    char line[128];
    readLine("/sys/kernel/mm/transparent_hugepage/enabled", line, sizeof line);
    if (line[0] == '\0' || std::strstr(line, "[never]") != nullptr) return std::size_t{0};
    readLine("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size", line, sizeof line);
    return static_cast<std::size_t>(std::strtoull(line, nullptr, 10));
  }();
  return size;
}

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
