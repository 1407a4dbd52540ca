// Directories and paths: current directory, create, remove, existence, times, the kind of a path component.
#include "platform/platform.h"

#include <cerrno>
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/win32/runtime_errors.h"

using qel::platform::PathComponent;
using qel::platform::Status;
using qel::platform::win32::clearRuntimeError;
using qel::platform::win32::runtimeError;

PathComponent qel::platform::classifyComponent(const char* component, std::size_t length) {
  if (length >= 2 && component[length - 2] == '.' && component[length - 1] == '.') {
    return PathComponent::parent;
  }
  if (length >= 1 && component[length - 1] == '.') return PathComponent::current;
  return PathComponent::name;
}

bool qel::platform::pathExists(const char* path) { return _access(path, 0) == 0; }

Status qel::platform::currentDirectory(char* buffer, std::size_t size) {
  clearRuntimeError();
  if (_getcwd(buffer, static_cast<int>(size)) != nullptr) return {};
  const Status failed = runtimeError();
  if (size > 0) buffer[0] = '\0';
  return failed;
}

Status qel::platform::changeDirectory(const char* path) {
  clearRuntimeError();
  return _chdir(path) == 0 ? Status() : runtimeError();
}

Status qel::platform::makeDirectory(const char* path) {
  clearRuntimeError();
  return _mkdir(path) == 0 ? Status() : runtimeError();
}

// The runtime reports EACCES when a program holds the directory open.
qel::platform::RemoveResult qel::platform::removeDirectory(const char* path, Status& status) {
  clearRuntimeError();
  if (_rmdir(path) == 0) {
    status = Status();
    return RemoveResult::removed;
  }
  status = runtimeError();
  return errno == EACCES ? RemoveResult::inUse : RemoveResult::failed;
}

Status qel::platform::fileTimes(const char* path, FileTimes& times) {
  struct _stat64 status {};
  clearRuntimeError();
  if (_stat64(path, &status) != 0) return runtimeError();
  times.created = status.st_ctime;
  times.accessed = status.st_atime;
  times.modified = status.st_mtime;
  return {};
}
