// Directory walking with the Windows file search.
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/runtime_errors.h"
#include "platform/win32/windows_api.h"

using qel::platform::DirectoryEntry;
using qel::platform::SearchStep;
using qel::platform::Status;

namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
static_assert(FILE_ATTRIBUTE_READONLY == qel::platform::kEntryReadOnly &&
                  FILE_ATTRIBUTE_HIDDEN == qel::platform::kEntryHidden &&
                  FILE_ATTRIBUTE_DIRECTORY == qel::platform::kEntryDirectory &&
                  FILE_ATTRIBUTE_REPARSE_POINT == qel::platform::kEntryLink,
              "entry attributes have the Windows values");

SearchStep takeEntry(const WIN32_FIND_DATAA& found, DirectoryEntry& entry) {
  const std::size_t length = std::strlen(found.cFileName);
  if (length >= entry.capacity) return SearchStep::nameTooLong;
  std::memcpy(entry.name, found.cFileName, length + 1);
  entry.attributes = found.dwFileAttributes & kKeptAttributes;
  return SearchStep::found;
}

}  // namespace

SearchStep qel::platform::beginDirectorySearch(const char* pattern, DirectorySearch& search,
                                               DirectoryEntry& entry, Status& status) {
  WIN32_FIND_DATAA found;
  HANDLE handle = FindFirstFileA(pattern, &found);
  if (handle == INVALID_HANDLE_VALUE) {
    status = lastError();
    search = nullptr;
    return SearchStep::failed;
  }
  status = Status();
  search = handle;
  return takeEntry(found, entry);
}

SearchStep qel::platform::nextDirectoryEntry(DirectorySearch search, DirectoryEntry& entry, Status& status) {
  WIN32_FIND_DATAA found;
  status = Status();
  if (!FindNextFileA(search, &found)) {
    const Status failed = lastError();
    if (failed.error() == ERROR_NO_MORE_FILES) return SearchStep::end;
    status = failed;
    return SearchStep::failed;
  }
  return takeEntry(found, entry);
}

void qel::platform::endDirectorySearch(DirectorySearch search) { FindClose(search); }

Status qel::platform::removeEntry(const char* path) {
  win32::clearRuntimeError();
  return std::remove(path) == 0 ? Status() : win32::runtimeError();
}
