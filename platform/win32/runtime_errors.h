// The host's code of a failed call into the C runtime (_open, _rmdir, ...): the system's
// error code behind the runtime's errno, so that every code the platform layer hands on
// is one of GetLastError's.
#ifndef VRNQEL43_PLATFORM_WIN32_RUNTIME_ERRORS_H
#define VRNQEL43_PLATFORM_WIN32_RUNTIME_ERRORS_H

#include "platform/platform.h"

namespace qel {
namespace platform {
namespace win32 {

// Clears the runtime's copy of the system's code (_doserrno) before a call: a failure
// that the runtime finds without asking the system leaves it untouched.
void clearRuntimeError();
// The failure of the runtime call just made: _doserrno, or, where the runtime found the
// failure itself, the system's code for its errno.
Status runtimeError();

}  // namespace win32
}  // namespace platform
}  // namespace qel

#endif
