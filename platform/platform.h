// The library's one door to the operating system. Subsystem code calls these
// functions and never includes a host header; posix/ and win32/ implement them.
#ifndef VRNQEL43_PLATFORM_PLATFORM_H
#define VRNQEL43_PLATFORM_PLATFORM_H

namespace qel {
namespace platform {

// The code a function pointer finally runs. On Windows, the address of a runtime
// function taken in another module is that module's import stub; two pointers to
// the same function compare equal after this.
const void* resolveFunction(const void* function);

}  // namespace platform
}  // namespace qel

#endif
