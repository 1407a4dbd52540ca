// The host's error codes (GetLastError): the last one and its text.
#include "platform/platform.h"

#include <cstdio>

#include "platform/win32/windows_api.h"

qel::platform::Status qel::platform::lastError() { return Status::failure(GetLastError()); }

// FormatMessageA's text without its closing line end.
void qel::platform::hostErrorText(std::uint32_t code, char* buffer, std::size_t size) {
  if (size == 0) return;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, buffer, static_cast<DWORD>(size), nullptr);
  if (length == 0) {
    static_cast<void>(std::snprintf(buffer, size, "Unknown error %u", code));
    return;
  }
  std::size_t end = length < size ? length : size - 1;
  while (end > 0 && (buffer[end - 1] == '\n' || buffer[end - 1] == '\r' || buffer[end - 1] == ' ')) --end;
  buffer[end] = '\0';
}
