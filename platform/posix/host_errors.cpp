// The host's error codes (errno): the last one and its text.
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

qel::platform::Status qel::platform::lastError() {
  return Status::failure(static_cast<std::uint32_t>(errno));
}

namespace {

// strerror_r comes in two forms: the GNU one returns the text, the XSI one fills the
// buffer and returns 0.
[[maybe_unused]] const char* pickText(const char* text, const char*) { return text; }
[[maybe_unused]] const char* pickText(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }

}  // namespace

void qel::platform::hostErrorText(std::uint32_t code, char* buffer, std::size_t size) {
  if (size == 0) return;
  char scratch[256] = "";
  const char* text = pickText(strerror_r(static_cast<int>(code), scratch, sizeof scratch), scratch);
  if (text == nullptr || *text == '\0') {
    static_cast<void>(std::snprintf(buffer, size, "Unknown error %u", code));
    return;
  }
  static_cast<void>(std::snprintf(buffer, size, "%s", text));
}
