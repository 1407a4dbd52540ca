// The assertion message box (MessageBoxA).
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

// No owner window; the stop icon with an OK button (style 16).
void qel::platform::showAssertionBox(const char* report, const char* caption) {
  MessageBoxA(nullptr, report, caption, MB_OK | MB_ICONHAND);
}
