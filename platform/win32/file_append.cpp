// Appending to files through the C runtime: open, write, cut back, close.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/win32/runtime_errors.h"
#include "platform/win32/windows_api.h"

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

// As on POSIX: a second write after a short one learns the reason, and bytes that
// did not all arrive back to back are cut off again where they are the file's last.
qel::platform::Status qel::platform::appendWhole(int descriptor, const void* bytes, std::uint32_t length) {
  Status status;
  const long first = writeFile(descriptor, bytes, length, status);
  if (first < 0 || static_cast<std::uint32_t>(first) == length) return status;
  if (first == 0) return Status::failure(ERROR_DISK_FULL);
  const __int64 firstEnd = _lseeki64(descriptor, 0, SEEK_CUR);
  const long second = writeFile(descriptor, static_cast<const char*>(bytes) + first,
                                length - static_cast<std::uint32_t>(first), status);
  const __int64 end = _lseeki64(descriptor, 0, SEEK_CUR);
  if (second > 0 && static_cast<std::uint32_t>(first + second) == length && end - second == firstEnd) {
    return Status();
  }
  const Status reason = !status ? status : Status::failure(second == 0 ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
  const bool together = second <= 0 || end - second == firstEnd;
  struct _stati64 file {};
  if (together && _fstati64(descriptor, &file) == 0 && file.st_size == (second > 0 ? end : firstEnd)) {
    static_cast<void>(_chsize_s(descriptor, firstEnd - first));  // what fails stays: the reason is told
  }
  return reason;
}

qel::platform::Status qel::platform::descriptorSize(int descriptor, std::uint64_t& size) {
  win32::clearRuntimeError();
  struct _stati64 file {};
  if (_fstati64(descriptor, &file) != 0) return win32::runtimeError();
  size = static_cast<std::uint64_t>(file.st_size);
  return Status();
}

qel::platform::Status qel::platform::truncateDescriptor(int descriptor, std::uint64_t size) {
  win32::clearRuntimeError();
  return _chsize_s(descriptor, static_cast<__int64>(size)) == 0 ? Status() : win32::runtimeError();
}
