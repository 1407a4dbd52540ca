// Splits a Windows-style command line into its arguments for exec.
#include "platform/posix/command_line.h"

#include <cstring>

std::vector<std::string> qel::platform::splitCommandLine(const char* commandLine) {
  std::vector<std::string> arguments;
  const char* position = commandLine;
  for (;;) {
    const char* end = nullptr;
    if (*position == '"') {
      const char* closing = position + 1;
      while (*closing != '\0' && !(*closing == '"' && (closing[1] == ' ' || closing[1] == '\0'))) {
        ++closing;
      }
      std::string text(position + 1, closing);
      if (!text.empty() && text.back() == '\\') text.pop_back();
      arguments.push_back(text);
      end = *closing == '"' ? closing + 1 : closing;
    } else {
      end = std::strchr(position, ' ');
      if (end == nullptr) end = position + std::strlen(position);
      arguments.emplace_back(position, end);
    }
    if (*end != ' ') break;
    position = end + 1;
  }
  return arguments;
}
