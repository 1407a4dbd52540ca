#include "platform/platform.h"
#include "platform/win32/windows_api.h"

// Windows code page numbers are the CCSIDs of those code pages.
std::uint32_t qel::platform::systemCodePage() { return GetACP(); }

std::uint32_t qel::platform::consoleCodePage() { return GetOEMCP(); }
