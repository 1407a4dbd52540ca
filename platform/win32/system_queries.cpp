// Host queries: the Windows platform id (GetVersionEx) and how a descriptor was opened.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"
#include <fcntl.h>
#include <io.h>

// OSVERSIONINFOA is the 148-byte structure.
qel::platform::Status qel::platform::windowsPlatformId(std::uint32_t& id) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return lastError();
  id = version.dwPlatformId;
  return {};
}

qel::platform::DescriptorMode qel::platform::probeDescriptorMode(int fd) {
  const int previous = _setmode(fd, _O_BINARY);
  if (previous == _O_BINARY) return DescriptorMode::binary;
  _setmode(fd, _O_TEXT);
  return previous == _O_TEXT ? DescriptorMode::text : DescriptorMode::other;
}
