#include "platform/platform.h"

#include "platform/win32/windows_api.h"
#include <cerrno>
#include <cstdio>
#include <io.h>
#include <sys/stat.h>

bool qel::platform::isHiddenFile(const char* path) {
  return (GetFileAttributesA(path) & FILE_ATTRIBUTE_HIDDEN) != 0;
}

bool qel::platform::isReadOnlyFile(const char* path) { return _access(path, 2) != 0; }

bool qel::platform::setReadOnlyFile(const char* path, bool readOnly) {
  return _chmod(path, readOnly ? _S_IREAD : _S_IREAD | _S_IWRITE) == 0;
}

bool qel::platform::fileSize(const char* path, std::uint64_t& size) {
  struct _stat64 status {};
  if (_stat64(path, &status) != 0) return false;
  size = static_cast<std::uint64_t>(status.st_size);
  return true;
}

bool qel::platform::copyFile(const char* source, const char* target) {
  return CopyFileA(source, target, FALSE) != 0;
}

// A read-only file can't be unlinked: it is made writable first.
qel::platform::FileRemoval qel::platform::removeFile(const char* path) {
  _chmod(path, _S_IREAD | _S_IWRITE);
  if (_unlink(path) == 0) return FileRemoval::removed;
  return errno == ENOENT ? FileRemoval::missing : FileRemoval::failed;
}

// The runtime's rename never replaces an existing file.
bool qel::platform::renameFile(const char* from, const char* to) {
  return std::rename(from, to) == 0;
}
