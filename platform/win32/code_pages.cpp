// The system and console code pages (GetACP, GetConsoleOutputCP), conversion into them.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

// Windows code page numbers are the CCSIDs of those code pages.
std::uint32_t qel::platform::systemCodePage() { return GetACP(); }

std::uint32_t qel::platform::consoleCodePage() { return GetOEMCP(); }

unsigned int qel::platform::convertFromUcs2(std::uint32_t codePage, const char* units, unsigned int unitCount,
                                            char* target, unsigned int targetSize) {
  const int written = WideCharToMultiByte(codePage, 0, reinterpret_cast<const wchar_t*>(units),
                                          static_cast<int>(unitCount), target, static_cast<int>(targetSize),
                                          nullptr, nullptr);
  return written < 0 ? 0 : static_cast<unsigned int>(written);
}
