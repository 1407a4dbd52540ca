// The host's error codes (GetLastError): the last one and its text, and the system's code
// behind a call into the C runtime that failed.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/win32/runtime_errors.h"
#include "platform/win32/windows_api.h"

qel::platform::Status qel::platform::lastError() { return Status::failure(GetLastError()); }

void qel::platform::win32::clearRuntimeError() { _doserrno = 0; }

namespace {

// The system's codes for the errno values the runtime sets on its own, after checking
// an argument or a buffer.
struct RuntimeFailure {
  int number;
  DWORD code;
};
constexpr RuntimeFailure kRuntimeFailures[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED},      {EEXIST, ERROR_FILE_EXISTS},
    {EBADF, ERROR_INVALID_HANDLE},  {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}, {ENOSPC, ERROR_DISK_FULL},
    {ERANGE, ERROR_INSUFFICIENT_BUFFER}, {EINVAL, ERROR_INVALID_PARAMETER}};

}  // namespace

qel::platform::Status qel::platform::win32::runtimeError() {
  if (_doserrno != 0) return Status::failure(static_cast<std::uint32_t>(_doserrno));
  const int number = errno;
  for (const RuntimeFailure& failure : kRuntimeFailures) {
    if (failure.number == number) return Status::failure(failure.code);
  }
  return Status::failure(0);
}

// FormatMessageA's text without its closing line end. FormatMessageA fails on a buffer
// that is too small, so the text is formatted whole and then cut to the caller's buffer.
void qel::platform::hostErrorText(std::uint32_t code, char* buffer, std::size_t size) {
  if (size == 0) return;
  char text[1024];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                text, static_cast<DWORD>(sizeof text), nullptr);
  if (length == 0) {
    static_cast<void>(std::snprintf(buffer, size, "Unknown error %u", code));
    return;
  }
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) --length;
  text[length] = '\0';
  static_cast<void>(std::snprintf(buffer, size, "%s", text));
}

