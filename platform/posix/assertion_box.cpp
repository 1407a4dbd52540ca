// The assertion message box: standard error alone on POSIX.
#include "platform/platform.h"

void qel::platform::showAssertionBox(const char*, const char*) {}
