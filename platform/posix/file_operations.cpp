// Whole-file operations: size, copy, rename, remove, the read-only and hidden attributes.
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

using qel::platform::lastError;
using qel::platform::Status;

Status writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

Status copyContents(int from, int to) {
  char buffer[32768];
  for (;;) {
    const ssize_t count = read(from, buffer, sizeof buffer);
    if (count == 0) return {};
    if (count < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    if (const Status written = writeAll(to, buffer, static_cast<std::size_t>(count)); !written) return written;
  }
}

// What the copy's descriptor and status calls gave: success, or errno.
Status outcome(bool succeeded) { return succeeded ? Status() : lastError(); }

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

Status qel::platform::setReadOnlyFile(const char* path, bool readOnly) {
  struct stat status {};
  if (stat(path, &status) != 0) return lastError();
  const mode_t permissions = status.st_mode & 07777;
  return outcome(chmod(path, readOnly ? (permissions & ~mode_t{0222}) : (permissions | S_IWUSR)) == 0);
}

Status qel::platform::fileSize(const char* path, std::uint64_t& size) {
  struct stat status {};
  if (stat(path, &status) != 0) return lastError();
  size = static_cast<std::uint64_t>(status.st_size);
  return {};
}

// The target is opened without truncating it, so that a target that is the source
// under another name is recognised before anything is lost. A copy that fails after
// the target was emptied removes it. A directory can't be copied (EISDIR), nor a file
// onto itself (EINVAL).
Status qel::platform::copyFile(const char* source, const char* target) {
  const Descriptor from{open(source, O_RDONLY | O_CLOEXEC)};
  struct stat status {};
  if (const Status opened = outcome(from.fd >= 0 && fstat(from.fd, &status) == 0); !opened) return opened;
  if (S_ISDIR(status.st_mode)) return Status::failure(EISDIR);
  const Descriptor to{open(target, O_WRONLY | O_CREAT | O_CLOEXEC, status.st_mode & 0777)};
  struct stat targetStatus {};
  if (const Status opened = outcome(to.fd >= 0 && fstat(to.fd, &targetStatus) == 0); !opened) return opened;
  if (targetStatus.st_dev == status.st_dev && targetStatus.st_ino == status.st_ino) return Status::failure(EINVAL);
  if (ftruncate(to.fd, 0) != 0) return lastError();
  const timespec times[2] = {status.st_atim, status.st_mtim};
  Status copied = copyContents(from.fd, to.fd);
  if (copied) copied = outcome(fchmod(to.fd, status.st_mode & 07777) == 0 && futimens(to.fd, times) == 0);
  if (!copied) unlink(target);
  return copied;
}

// unlink does not look at the file's own permissions: a read-only file goes too.
qel::platform::FileRemoval qel::platform::removeFile(const char* path, Status& status) {
  if (unlink(path) == 0) {
    status = Status();
    return FileRemoval::removed;
  }
  status = lastError();
  return errno == ENOENT ? FileRemoval::missing : FileRemoval::failed;
}

// rename would replace an existing target; renameat2 refuses to. Where the file system
// can't refuse atomically, an existing target is looked for first.
Status qel::platform::renameFile(const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return {};
  if (errno != EINVAL && errno != ENOSYS) return lastError();
#endif
  struct stat status {};
  if (lstat(to, &status) == 0) return Status::failure(EEXIST);
  return outcome(rename(from, to) == 0);
}
