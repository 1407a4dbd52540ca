// Directory walking with opendir and readdir. The attributes describe the entry itself:
// a symbolic link is never a directory, so nothing walks through one.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using qel::platform::DirectoryEntry;
using qel::platform::SearchStep;
using qel::platform::Status;

namespace {

// The search pattern "*.*" behind the directory's text.
constexpr std::size_t kPatternLength = 3;

// Dot files are hidden, "." and ".." are not.
bool isHiddenName(const char* name) {
  return name[0] == '.' && name[1] != '\0' && std::strcmp(name, "..") != 0;
}

// Read-only as a file server shows a file to Windows: the owner may not write it.
std::uint32_t attributesOf(DIR* directory, const dirent& found) {
  std::uint32_t attributes = isHiddenName(found.d_name) ? qel::platform::kEntryHidden : 0;
  struct stat status {};
  if (fstatat(dirfd(directory), found.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(status.st_mode)) attributes |= qel::platform::kEntryDirectory;
    if (S_ISLNK(status.st_mode)) attributes |= qel::platform::kEntryLink;
    if ((status.st_mode & S_IWUSR) == 0) attributes |= qel::platform::kEntryReadOnly;
  } else if (found.d_type == DT_DIR) {
    attributes |= qel::platform::kEntryDirectory;
  }
  return attributes;
}

SearchStep readEntry(DIR* directory, DirectoryEntry& entry, Status& status) {
  status = Status();
  errno = 0;
  const dirent* found = readdir(directory);
  if (found == nullptr) {
    if (errno == 0) return SearchStep::end;
    status = qel::platform::lastError();
    return SearchStep::failed;
  }
  const std::size_t length = std::strlen(found->d_name);
  if (length >= entry.capacity) return SearchStep::nameTooLong;
  std::memcpy(entry.name, found->d_name, length + 1);
  entry.attributes = attributesOf(directory, *found);
  return SearchStep::found;
}

}  // namespace

// The directory in front of the pattern is opened; the empty text is the current one.
// A directory without any entry is "not found", as Windows' search has it.
SearchStep qel::platform::beginDirectorySearch(const char* pattern, DirectorySearch& search,
                                               DirectoryEntry& entry, Status& status) {
  search = nullptr;
  const std::size_t length = std::strlen(pattern);
  if (length < kPatternLength || length - kPatternLength >= PATH_MAX) {
    status = Status::failure(length < kPatternLength ? EINVAL : ENAMETOOLONG);
    return SearchStep::failed;
  }
  char directory[PATH_MAX];
  std::memcpy(directory, pattern, length - kPatternLength);
  directory[length - kPatternLength] = '\0';
  DIR* opened = opendir(directory[0] != '\0' ? directory : ".");
  if (opened == nullptr) {
    status = lastError();
    return SearchStep::failed;
  }
  const SearchStep first = readEntry(opened, entry, status);
  if (first == SearchStep::end || first == SearchStep::failed) {
    if (first == SearchStep::end) status = Status::failure(ENOENT);
    closedir(opened);
    return SearchStep::failed;
  }
  search = opened;
  return first;
}

SearchStep qel::platform::nextDirectoryEntry(DirectorySearch search, DirectoryEntry& entry, Status& status) {
  return readEntry(static_cast<DIR*>(search), entry, status);
}

void qel::platform::endDirectorySearch(DirectorySearch search) {
  closedir(static_cast<DIR*>(search));
}

Status qel::platform::removeEntry(const char* path) { return unlink(path) == 0 ? Status() : lastError(); }
