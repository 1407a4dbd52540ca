#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int qel::platform::openFileToAppend(const char* path, int& error) {
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
  error = fd < 0 ? errno : 0;
  return fd;
}

long qel::platform::writeFile(int descriptor, const void* bytes, std::uint32_t length) {
  ssize_t written = -1;
  do {
    written = write(descriptor, bytes, length);
  } while (written < 0 && errno == EINTR);
  return static_cast<long>(written);
}

int qel::platform::closeFile(int descriptor) { return close(descriptor); }
