// Host queries: the Windows platform id (none on POSIX) and how a descriptor was opened.
#include "platform/platform.h"

#include <cerrno>
#include <fcntl.h>

qel::platform::Status qel::platform::windowsPlatformId(std::uint32_t&) { return Status::failure(ENOSYS); }

// POSIX makes no difference between text and binary: every open descriptor is binary.
qel::platform::DescriptorMode qel::platform::probeDescriptorMode(int fd) {
  return fcntl(fd, F_GETFD) != -1 ? DescriptorMode::binary : DescriptorMode::other;
}
