// The operating system's family and the text or binary mode of open files.
#include "qel_filesystem.h"

#include "platform/platform.h"

std::uint32_t qelGetOperatingSystemId() {
  std::uint32_t platformId = 0;
  if (!qel::platform::windowsPlatformId(platformId)) return 0;
  switch (platformId) {
    case 2: return 512;  // the NT family
    case 1: return 513;  // Windows 95, 98, Me
    case 0: return 514;  // Win32s
    default: return 0;
  }
}

bool qelFileIsOpenedInBinaryMode(const std::istream&) { return true; }

bool qelFileIsOpenedInBinaryMode(const std::ostream&) { return true; }

bool qelFileIsOpenedInTextMode(const std::istream&) { return false; }

bool qelFileIsOpenedInTextMode(const std::ostream&) { return false; }

bool qelFileIsOpenedInBinaryMode(int fd) {
  return qel::platform::probeDescriptorMode(fd) == qel::platform::DescriptorMode::binary;
}

bool qelFileIsOpenedInTextMode(int fd) {
  return qel::platform::probeDescriptorMode(fd) == qel::platform::DescriptorMode::text;
}
