// Directories and paths: current directory, create, remove, existence, times, the kind of a path component.
#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using qel::platform::PathComponent;

PathComponent qel::platform::classifyComponent(const char* component, std::size_t length) {
  if (length == 0 || (length == 1 && component[0] == '.')) return PathComponent::current;
  if (length == 2 && component[0] == '.' && component[1] == '.') return PathComponent::parent;
  return PathComponent::name;
}

bool qel::platform::pathExists(const char* path) { return access(path, F_OK) == 0; }

using qel::platform::Status;

Status qel::platform::currentDirectory(char* buffer, std::size_t size) {
  if (getcwd(buffer, size) != nullptr) return {};
  const Status failed = lastError();
  if (size > 0) buffer[0] = '\0';
  return failed;
}

Status qel::platform::changeDirectory(const char* path) { return chdir(path) == 0 ? Status() : lastError(); }

// Permissions as the umask allows, as _mkdir gives on Windows.
Status qel::platform::makeDirectory(const char* path) { return mkdir(path, 0777) == 0 ? Status() : lastError(); }

// EBUSY (a mount point, or a directory the system uses) is what comes nearest to
// Windows refusing a directory that a program holds open.
qel::platform::RemoveResult qel::platform::removeDirectory(const char* path, Status& status) {
  if (rmdir(path) == 0) {
    status = Status();
    return RemoveResult::removed;
  }
  status = lastError();
  return errno == EBUSY ? RemoveResult::inUse : RemoveResult::failed;
}

// The creation time is the birth time where the file system records one, else the
// time of the last status change.
Status qel::platform::fileTimes(const char* path, FileTimes& times) {
#if defined(STATX_BTIME)
  struct statx status {};
  if (statx(AT_FDCWD, path, 0, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) return lastError();
  times.created = (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime.tv_sec
                                                       : status.stx_ctime.tv_sec;
  times.accessed = status.stx_atime.tv_sec;
  times.modified = status.stx_mtime.tv_sec;
#else
  struct stat status {};
  if (stat(path, &status) != 0) return lastError();
  times.created = status.st_ctime;
  times.accessed = status.st_atime;
  times.modified = status.st_mtime;
#endif
  return {};
}
