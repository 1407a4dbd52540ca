// What the installed programs (apps/) need of the host beyond the library: the C
// runtime's error of a failed stream call, byte-exact standard streams, the terminal.
// Linked into the programs only, never into the library.
#ifndef VRNQEL43_PLATFORM_PROGRAM_HOST_H
#define VRNQEL43_PLATFORM_PROGRAM_HOST_H

#include <cstdint>

namespace qel {
namespace program_host {

// Clears the host's record of a failure before a call into the runtime, so that a
// failure the runtime gives no reason for is not given an older one.
void clearRuntimeError();
// The host's code of the runtime call that just failed, as the library's host errors
// have it: errno, on Windows the system's code behind it (_doserrno); 0 for none.
std::uint32_t runtimeError();
// Standard input and output carry bytes unchanged (no text-mode line ends on Windows),
// and writing to a reader that has gone fails with the host's reason (EPIPE) instead of
// ending the program without a word.
void useByteStreams();
// True when standard error is a terminal (where progress may be shown).
bool isStandardErrorTerminal();

}  // namespace program_host
}  // namespace qel

#endif
