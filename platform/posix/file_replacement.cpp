// Replacing a file as a whole through its lock file: exclusive creation, an advisory
// lock held while the lock file lives, flush, rename over the target, directory flush.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "qel_memory.h"

struct qel::platform::Replacement {
  int fd;
  bool targetExists;
  struct stat target;  // the target's status when it exists
  char targetPath[PATH_MAX];
  char lockPath[PATH_MAX + 8];
};

namespace {

using qel::platform::Replacement;
using qel::platform::Status;

Status failed() { return qel::platform::lastError(); }

// The file that path names after following its links; false when a link chain is too
// long or a path does not fit.
bool followLinks(const char* path, char (&resolved)[PATH_MAX]) {
  if (std::strlen(path) >= sizeof resolved) return false;
  std::strcpy(resolved, path);
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (lstat(resolved, &status) != 0 || !S_ISLNK(status.st_mode)) return true;
    char link[PATH_MAX];
    const ssize_t length = readlink(resolved, link, sizeof link - 1);
    if (length < 0) return true;
    link[length] = '\0';
    if (link[0] == '/') {
      std::strcpy(resolved, link);
      continue;
    }
    char* slash = std::strrchr(resolved, '/');
    const std::size_t keep = slash != nullptr ? static_cast<std::size_t>(slash - resolved) + 1 : 0;
    if (keep + static_cast<std::size_t>(length) >= sizeof resolved) return false;
    std::memcpy(resolved + keep, link, static_cast<std::size_t>(length) + 1);
  }
  return false;
}

std::int64_t nowMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// A lock file nobody holds its advisory lock on, and that is still the one at its
// path, belongs to a writer that is gone: it is removed while this process holds its
// advisory lock, so that no two processes take over the same one. Where lock files
// are made unnamed and locked before they get their name (see createLocked), that is
// all; otherwise a lock file is also left alone in the first second of its life, in
// which its creator may not have locked it yet.
bool removeIfAbandoned(const char* lockPath, bool lockedAtBirth) {
  const int fd = open(lockPath, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  bool removed = false;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    struct stat held {};
    struct stat named {};
    const std::time_t now = std::time(nullptr);
    if (fstat(fd, &held) == 0 && stat(lockPath, &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino && (lockedAtBirth || (now - held.st_mtime >= 1 && now - held.st_ctime >= 1))) {
      removed = unlink(lockPath) == 0;
    }
  }
  close(fd);
  return removed;
}

// Linux makes the lock file without a name (O_TMPFILE), locks it and only then links
// it in under its name, which fails when the name exists: a lock file is never seen
// unlocked while its writer lives. Elsewhere it is created exclusively and locked at
// once. -1 with errno set on failure (EEXIST: another writer's lock file is there).
int createLocked(const char* lockPath, const char* directory, bool& lockedAtBirth) {
#if defined(O_TMPFILE)
  const int unnamed = open(directory, O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (unnamed >= 0) {
    lockedAtBirth = true;
    while (flock(unnamed, LOCK_EX) != 0 && errno == EINTR) {
    }
    char self[64];
    static_cast<void>(std::snprintf(self, sizeof self, "/proc/self/fd/%d", unnamed));
    if (linkat(AT_FDCWD, self, AT_FDCWD, lockPath, AT_SYMLINK_FOLLOW) == 0) return unnamed;
    const int error = errno;
    close(unnamed);
    errno = error;
    if (error != ENOENT && error != EPERM && error != EXDEV && error != ENOTSUP) return -1;
  }
#else
  static_cast<void>(directory);
#endif
  lockedAtBirth = false;
  const int fd = open(lockPath, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  // Blocks only while another process looks whether this lock file is abandoned.
  if (fd >= 0) {
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  return fd;
}

// The directory part of path ("." when it has none), into directory.
void directoryOf(const char* path, char (&directory)[PATH_MAX]) {
  std::strcpy(directory, path);
  char* slash = std::strrchr(directory, '/');
  if (slash == nullptr) {
    std::strcpy(directory, ".");
  } else {
    slash[slash == directory ? 1 : 0] = '\0';
  }
}

void release(Replacement* replacement, bool removeLock) {
  if (removeLock) unlink(replacement->lockPath);
  close(replacement->fd);
  qelFree(replacement);
}

}  // namespace

Status qel::platform::beginReplacement(const char* target, std::uint32_t waitMilliseconds,
                                       Replacement*& replacement) {
  replacement = nullptr;
  auto* made = static_cast<Replacement*>(qelMalloc(sizeof(Replacement)));
  made->fd = -1;
  if (!followLinks(target, made->targetPath)) {
    qelFree(made);
    return Status::failure(ENAMETOOLONG);
  }
  made->targetExists = stat(made->targetPath, &made->target) == 0;
  Status outcome;
  if (made->targetExists && S_ISDIR(made->target.st_mode)) outcome = Status::failure(EISDIR);
  // Root may write anything; a file without any write permission is still refused.
  if (made->targetExists && (access(made->targetPath, W_OK) != 0 || (made->target.st_mode & 0222) == 0)) {
    outcome = Status::failure(EACCES);
  }
  std::strcpy(made->lockPath, made->targetPath);
  std::strcat(made->lockPath, ".lock");
  char directory[PATH_MAX];
  directoryOf(made->targetPath, directory);
  const std::int64_t deadline = nowMilliseconds() + waitMilliseconds;
  while (outcome) {
    bool lockedAtBirth = false;
    made->fd = createLocked(made->lockPath, directory, lockedAtBirth);
    if (made->fd >= 0) {
      replacement = made;
      return Status();
    }
    if (errno != EEXIST) {
      outcome = failed();
      break;
    }
    if (removeIfAbandoned(made->lockPath, lockedAtBirth)) continue;
    if (nowMilliseconds() >= deadline) {
      outcome = Status::failure(EEXIST);
      break;
    }
    sleepMilliseconds(10);
  }
  qelFree(made);
  return outcome;
}

Status qel::platform::writeReplacement(Replacement* replacement, const void* bytes, std::size_t size) {
  const char* data = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t written = write(replacement->fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return failed();
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return Status();
}

// The owner and group are kept where this process may set them; the permission bits
// always.
Status qel::platform::commitReplacement(Replacement* replacement) {
  Status result;
  if (fsync(replacement->fd) != 0) result = failed();
  if (result && replacement->targetExists) {
    static_cast<void>(fchown(replacement->fd, replacement->target.st_uid, replacement->target.st_gid));
    if (fchmod(replacement->fd, replacement->target.st_mode & 07777) != 0) result = failed();
  }
  if (result && rename(replacement->lockPath, replacement->targetPath) != 0) result = failed();
  if (!result) {
    release(replacement, true);
    return result;
  }
  // The rename is done: the directory's flush only makes it durable sooner, and a file
  // system that can't flush a directory has nothing to report.
  char directory[PATH_MAX];
  directoryOf(replacement->targetPath, directory);
  const int directoryFd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd >= 0) {
    static_cast<void>(fsync(directoryFd));
    close(directoryFd);
  }
  release(replacement, false);
  return result;
}

void qel::platform::abandonReplacement(Replacement* replacement) { release(replacement, true); }
