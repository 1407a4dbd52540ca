// Reading files as they are, in binary mode.
#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

qel::platform::Status qel::platform::openFileToRead(const char* path, InputFile& file) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  file = fd;
  return fd >= 0 ? Status() : lastError();
}

qel::platform::Status qel::platform::readFile(InputFile file, void* buffer, std::size_t size, std::size_t& got) {
  for (;;) {
    const ssize_t count = read(static_cast<int>(file), buffer, size);
    if (count >= 0) {
      got = static_cast<std::size_t>(count);
      return Status();
    }
    if (errno != EINTR) return lastError();
  }
}

void qel::platform::closeReadFile(InputFile file) { close(static_cast<int>(file)); }
