#include "platform/platform.h"

#include <cerrno>
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

using qel::platform::PathComponent;

PathComponent qel::platform::classifyComponent(const char* component, std::size_t length) {
  if (length >= 2 && component[length - 2] == '.' && component[length - 1] == '.') {
    return PathComponent::parent;
  }
  if (length >= 1 && component[length - 1] == '.') return PathComponent::current;
  return PathComponent::name;
}

bool qel::platform::pathExists(const char* path) { return _access(path, 0) == 0; }

bool qel::platform::currentDirectory(char* buffer, std::size_t size) {
  if (_getcwd(buffer, static_cast<int>(size)) != nullptr) return true;
  if (size > 0) buffer[0] = '\0';
  return false;
}

bool qel::platform::changeDirectory(const char* path) { return _chdir(path) == 0; }

bool qel::platform::makeDirectory(const char* path) { return _mkdir(path) == 0; }

// The runtime reports EACCES when a program holds the directory open.
qel::platform::RemoveResult qel::platform::removeDirectory(const char* path) {
  if (_rmdir(path) == 0) return RemoveResult::removed;
  return errno == EACCES ? RemoveResult::inUse : RemoveResult::failed;
}

bool qel::platform::fileTimes(const char* path, FileTimes& times) {
  struct _stat64 status {};
  if (_stat64(path, &status) != 0) return false;
  times.created = status.st_ctime;
  times.accessed = status.st_atime;
  times.modified = status.st_mtime;
  return true;
}
