// The error class of a host error code, from the table of the host's codes.
#include "platform/platform.h"

#if defined(_WIN32)
#include "platform/win32/windows_api.h"
#else
#include <cerrno>
#endif

QelEnErrorClass qel::platform::hostErrorClass(std::uint32_t code) {
  switch (static_cast<long>(code)) {
#define QEL_HOST_ERROR(name, errorClass) \
  case name:                             \
    return QelEnErrorClass::errorClass;
#if defined(_WIN32)
#include "platform/win32/host_error_classes.inc"
#else
#include "platform/posix/host_error_classes.inc"
#endif
#undef QEL_HOST_ERROR
    default:
      return QelEnErrorClass::UNKNOWN;
  }
}
