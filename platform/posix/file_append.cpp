// Appending to files: open, write, cut back, close.
#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int qel::platform::openFileToAppend(const char* path, Status& status) {
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
  status = fd < 0 ? lastError() : Status();
  return fd;
}

long qel::platform::writeFile(int descriptor, const void* bytes, std::uint32_t length, Status& status) {
  ssize_t written = -1;
  do {
    written = write(descriptor, bytes, length);
  } while (written < 0 && errno == EINTR);
  status = written < 0 ? lastError() : Status();
  return static_cast<long>(written);
}

qel::platform::Status qel::platform::closeFile(int descriptor) {
  return close(descriptor) == 0 ? Status() : lastError();
}

// A second write after a short one learns the host's reason for the rest. The bytes
// stay only when both together wrote all of them back to back; otherwise they are cut
// off again, unless another writer appended behind them meanwhile (cutting would take
// its bytes too).
qel::platform::Status qel::platform::appendWhole(int descriptor, const void* bytes, std::uint32_t length) {
  Status status;
  const long first = writeFile(descriptor, bytes, length, status);
  if (first < 0 || static_cast<std::uint32_t>(first) == length) return status;
  if (first == 0) return Status::failure(ENOSPC);
  const off_t firstEnd = lseek(descriptor, 0, SEEK_CUR);
  const long second = writeFile(descriptor, static_cast<const char*>(bytes) + first,
                                length - static_cast<std::uint32_t>(first), status);
  const off_t end = lseek(descriptor, 0, SEEK_CUR);
  if (second > 0 && static_cast<std::uint32_t>(first + second) == length && end - second == firstEnd) {
    return Status();
  }
  const Status reason = !status ? status : Status::failure(second == 0 ? ENOSPC : EIO);
  const bool together = second <= 0 || end - second == firstEnd;
  struct stat file {};
  if (together && fstat(descriptor, &file) == 0 && file.st_size == (second > 0 ? end : firstEnd)) {
    static_cast<void>(ftruncate(descriptor, firstEnd - first));  // what fails stays: the reason is told
  }
  return reason;
}

qel::platform::Status qel::platform::descriptorSize(int descriptor, std::uint64_t& size) {
  struct stat file {};
  if (fstat(descriptor, &file) != 0) return lastError();
  size = static_cast<std::uint64_t>(file.st_size);
  return Status();
}

qel::platform::Status qel::platform::truncateDescriptor(int descriptor, std::uint64_t size) {
  return ftruncate(descriptor, static_cast<off_t>(size)) == 0 ? Status() : lastError();
}
