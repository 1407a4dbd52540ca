#include "platform/platform.h"

#include <cstdlib>

bool qel::platform::putEnvironment(const char* definition) { return _putenv(definition) != -1; }
