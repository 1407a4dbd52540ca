#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

int qel::platform::openFileToAppend(const char* path, int& error) {
  const int fd = _open(path, _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_SEQUENTIAL,
                       _S_IREAD | _S_IWRITE);
  error = fd < 0 ? errno : 0;
  return fd;
}

long qel::platform::writeFile(int descriptor, const void* bytes, std::uint32_t length) {
  return _write(descriptor, bytes, length);
}

int qel::platform::closeFile(int descriptor) { return _close(descriptor); }
