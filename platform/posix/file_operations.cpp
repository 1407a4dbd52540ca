#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Descriptors closed when the copy leaves, whatever way it leaves.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool copyContents(int from, int to) {
  char buffer[32768];
  for (;;) {
    const ssize_t count = read(from, buffer, sizeof buffer);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!writeAll(to, buffer, static_cast<std::size_t>(count))) return false;
  }
}

}  // namespace

// Hidden is a name that starts with a dot.
bool qel::platform::isHiddenFile(const char* path) {
  if (access(path, F_OK) != 0) return true;
  const char* slash = std::strrchr(path, '/');
  return (slash != nullptr ? slash[1] : path[0]) == '.';
}

// Not writable for the caller, or writable for nobody: root may write to any file,
// but a file without write permissions still counts as read-only then.
bool qel::platform::isReadOnlyFile(const char* path) {
  struct stat status {};
  if (stat(path, &status) != 0) return true;
  return access(path, W_OK) != 0 || (status.st_mode & 0222) == 0;
}

bool qel::platform::setReadOnlyFile(const char* path, bool readOnly) {
  struct stat status {};
  if (stat(path, &status) != 0) return false;
  const mode_t permissions = status.st_mode & 07777;
  return chmod(path, readOnly ? (permissions & ~mode_t{0222}) : (permissions | S_IWUSR)) == 0;
}

bool qel::platform::fileSize(const char* path, std::uint64_t& size) {
  struct stat status {};
  if (stat(path, &status) != 0) return false;
  size = static_cast<std::uint64_t>(status.st_size);
  return true;
}

// The target is opened without truncating it, so that a target that is the source
// under another name is recognised before anything is lost. A copy that fails after
// the target was emptied removes it.
bool qel::platform::copyFile(const char* source, const char* target) {
  const Descriptor from{open(source, O_RDONLY | O_CLOEXEC)};
  struct stat status {};
  if (from.fd < 0 || fstat(from.fd, &status) != 0 || S_ISDIR(status.st_mode)) return false;
  const Descriptor to{open(target, O_WRONLY | O_CREAT | O_CLOEXEC, status.st_mode & 0777)};
  struct stat targetStatus {};
  if (to.fd < 0 || fstat(to.fd, &targetStatus) != 0) return false;
  if (targetStatus.st_dev == status.st_dev && targetStatus.st_ino == status.st_ino) return false;
  if (ftruncate(to.fd, 0) != 0) return false;
  const timespec times[2] = {status.st_atim, status.st_mtim};
  if (!copyContents(from.fd, to.fd) || fchmod(to.fd, status.st_mode & 07777) != 0 ||
      futimens(to.fd, times) != 0) {
    unlink(target);
    return false;
  }
  return true;
}

// unlink does not look at the file's own permissions: a read-only file goes too.
qel::platform::FileRemoval qel::platform::removeFile(const char* path) {
  if (unlink(path) == 0) return FileRemoval::removed;
  return errno == ENOENT ? FileRemoval::missing : FileRemoval::failed;
}

// rename would replace an existing target; renameat2 refuses to. Where the file system
// can't refuse atomically, an existing target is looked for first.
bool qel::platform::renameFile(const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  struct stat status {};
  if (lstat(to, &status) == 0) return false;
  return rename(from, to) == 0;
}
