// Whole-file operations: size, copy, rename, remove, the read-only and hidden attributes.
#include "platform/platform.h"

#include "platform/win32/runtime_errors.h"
#include "platform/win32/windows_api.h"
#include <cerrno>
#include <cstdio>
#include <io.h>
#include <sys/stat.h>

using qel::platform::Status;
using qel::platform::win32::clearRuntimeError;
using qel::platform::win32::runtimeError;

bool qel::platform::isHiddenFile(const char* path) {
  return (GetFileAttributesA(path) & FILE_ATTRIBUTE_HIDDEN) != 0;
}

bool qel::platform::isReadOnlyFile(const char* path) { return _access(path, 2) != 0; }

Status qel::platform::setReadOnlyFile(const char* path, bool readOnly) {
  clearRuntimeError();
  return _chmod(path, readOnly ? _S_IREAD : _S_IREAD | _S_IWRITE) == 0 ? Status() : runtimeError();
}

Status qel::platform::fileSize(const char* path, std::uint64_t& size) {
  struct _stat64 status {};
  clearRuntimeError();
  if (_stat64(path, &status) != 0) return runtimeError();
  size = static_cast<std::uint64_t>(status.st_size);
  return {};
}

Status qel::platform::copyFile(const char* source, const char* target) {
  return CopyFileA(source, target, FALSE) != 0 ? Status() : lastError();
}

// A read-only file can't be unlinked: it is made writable first. Missing or not is the
// runtime's errno, the reason the system's code behind it.
qel::platform::FileRemoval qel::platform::removeFile(const char* path, Status& status) {
  static_cast<void>(_chmod(path, _S_IREAD | _S_IWRITE));
  clearRuntimeError();
  if (_unlink(path) == 0) {
    status = Status();
    return FileRemoval::removed;
  }
  status = runtimeError();
  return errno == ENOENT ? FileRemoval::missing : FileRemoval::failed;
}

// The runtime's rename never replaces an existing file.
Status qel::platform::renameFile(const char* from, const char* to) {
  clearRuntimeError();
  return std::rename(from, to) == 0 ? Status() : runtimeError();
}
