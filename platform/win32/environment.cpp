#include "platform/platform.h"

#include <cstdlib>

bool qel::platform::putEnvironment(const char* definition) { return _putenv(definition) != -1; }

const char* qel::platform::defaultTemporaryDirectory() { return "C:\\"; }
