// The library's one door to the operating system. Subsystem code calls these
// functions and never includes a host header; posix/ and win32/ implement them.
#ifndef VRNQEL43_PLATFORM_PLATFORM_H
#define VRNQEL43_PLATFORM_PLATFORM_H

#include <cstdint>

namespace qel {
namespace platform {

// ---- Functions -------------------------------------------------------------------
// The code a function pointer finally runs. On Windows, the address of a runtime
// function taken in another module is that module's import stub; two pointers to
// the same function compare equal after this.
const void* resolveFunction(const void* function);

// ---- Environment -----------------------------------------------------------------
// Changes the process environment as the Windows runtime's _putenv does:
// "NAME=value" sets, "NAME=" removes, a definition without "=" or without a name
// changes nothing and fails. Returns false on failure.
bool putEnvironment(const char* definition);

// ---- Processes, threads and time -------------------------------------------------
std::uint32_t currentProcessId();
std::uint32_t currentThreadId();
// Milliseconds since the system started, wrapping at 2^32.
std::uint32_t tickCount();
// Seconds since 1970-01-01 00:00 UTC with millisecond resolution.
double wallClockSeconds();
void sleepMilliseconds(std::uint32_t milliseconds);

}  // namespace platform
}  // namespace qel

#endif
