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
