// The arguments of a command line that the process classes built.
#ifndef VRNQEL43_PLATFORM_POSIX_COMMAND_LINE_H
#define VRNQEL43_PLATFORM_POSIX_COMMAND_LINE_H

#include <string>
#include <vector>

namespace qel {
namespace platform {

// The inverse of the command line's quoting: arguments are separated by single spaces;
// one that starts with a double quote runs to the first double quote followed by a
// space or the end (or to the end, if there is none) and loses one backslash that ends
// it.
std::vector<std::string> splitCommandLine(const char* commandLine);

}  // namespace platform
}  // namespace qel

#endif
