#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/win32/runtime_errors.h"

int qel::platform::openFileToAppend(const char* path, Status& status) {
  win32::clearRuntimeError();
  const int fd = _open(path, _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_SEQUENTIAL,
                       _S_IREAD | _S_IWRITE);
  status = fd < 0 ? win32::runtimeError() : Status();
  return fd;
}

long qel::platform::writeFile(int descriptor, const void* bytes, std::uint32_t length, Status& status) {
  win32::clearRuntimeError();
  const long written = _write(descriptor, bytes, length);
  status = written < 0 ? win32::runtimeError() : Status();
  return written;
}

qel::platform::Status qel::platform::closeFile(int descriptor) {
  win32::clearRuntimeError();
  return _close(descriptor) == 0 ? Status() : win32::runtimeError();
}
