// Setting environment variables and the default temporary directory.
#include "platform/platform.h"

#include <cstdlib>

#include "platform/win32/runtime_errors.h"

qel::platform::Status qel::platform::putEnvironment(const char* definition) {
  win32::clearRuntimeError();
  return _putenv(definition) != -1 ? Status() : win32::runtimeError();
}

const char* qel::platform::defaultTemporaryDirectory() { return "C:\\"; }
