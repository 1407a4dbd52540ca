// Files mapped into memory, held by an advisory lock while their creator lives.
#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using qel::platform::MappedFile;
using qel::platform::Status;

// Maps the file open on fd, held already, into file; closes fd on failure.
Status map(int fd, std::size_t size, MappedFile& file) {
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (memory == MAP_FAILED) {
    const Status status = qel::platform::lastError();
    close(fd);
    return status;
  }
  file.handle = fd;
  file.memory = memory;
  file.size = size;
  return Status();
}

}  // namespace

// The new file is locked before it gets its size, so that no recovery takes it for one
// that is abandoned. A file of the name that someone else holds is not replaced.
Status qel::platform::createMappedFile(const char* path, std::size_t size, MappedFile& file) {
  const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) return lastError();
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(fd, 0) != 0 ||
      ftruncate(fd, static_cast<off_t>(size)) != 0) {
    const Status status = lastError();
    close(fd);
    return status;
  }
  return map(fd, size, file);
}

Status qel::platform::openAbandonedMappedFile(const char* path, MappedFile& file) {
  const int fd = open(path, O_RDWR | O_CLOEXEC);
  if (fd < 0) return lastError();
  struct stat status {};
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &status) != 0) {
    const Status failure = lastError();
    close(fd);
    return failure;
  }
  if (status.st_size == 0) {
    close(fd);
    return Status::failure(EINVAL);
  }
  return map(fd, static_cast<std::size_t>(status.st_size), file);
}

// The name goes while the file is still held, so that no one opens it in between.
void qel::platform::closeMappedFile(MappedFile& file, const char* removePath) {
  if (file.memory != nullptr) munmap(file.memory, file.size);
  if (removePath != nullptr) unlink(removePath);
  if (file.handle >= 0) close(static_cast<int>(file.handle));
  file = MappedFile();
}
