// The host's error codes (GetLastError): the last one, its text and its error class.
#include "platform/platform.h"

#include <cstdio>

#include "platform/win32/windows_api.h"

qel::platform::Status qel::platform::lastError() { return Status::failure(GetLastError()); }

// FormatMessageA's text without its closing line end. FormatMessageA fails on a buffer
// that is too small, so the text is formatted whole and then cut to the caller's buffer.
void qel::platform::hostErrorText(std::uint32_t code, char* buffer, std::size_t size) {
  if (size == 0) return;
  char text[1024];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                text, static_cast<DWORD>(sizeof text), nullptr);
  if (length == 0) {
    std::snprintf(buffer, size, "Unknown error %u", code);
    return;
  }
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) --length;
  text[length] = '\0';
  std::snprintf(buffer, size, "%s", text);
}

// The storage quota was exceeded: a code that MinGW-w64's winerror.h does not name.
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif

QelEnErrorClass qel::platform::hostErrorClass(std::uint32_t code) {
  switch (code) {
#define QEL_HOST_ERROR(name, errorClass) \
  case name:                             \
    return QelEnErrorClass::errorClass;
#include "platform/win32/host_error_classes.inc"
#undef QEL_HOST_ERROR
    default:
      return QelEnErrorClass::UNKNOWN;
  }
}
