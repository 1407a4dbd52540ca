// Bounded text copies for the fixed buffers of file names, locations and directories.
#ifndef VRNQEL43_FILESYSTEM_PATH_TEXT_H
#define VRNQEL43_FILESYSTEM_PATH_TEXT_H

#include <cstddef>
#include <cstring>

namespace qel {
namespace filesystem {

// The length of text, but at most limit; nothing behind limit is read. Null is empty.
inline std::size_t boundedLength(const char* text, std::size_t limit) {
  std::size_t length = 0;
  if (text != nullptr) {
    while (length < limit && text[length] != '\0') ++length;
  }
  return length;
}

// Copies at most limit characters of text to out and terminates it; returns the
// number copied. out and text may overlap.
inline std::size_t copyBounded(char* out, const char* text, std::size_t limit) {
  const std::size_t length = boundedLength(text, limit);
  if (length > 0) std::memmove(out, text, length);
  out[length] = '\0';
  return length;
}

// Turns every occurrence of from into to, in place.
inline void replaceAll(char* text, char from, char to) {
  for (; *text != '\0'; ++text) {
    if (*text == from) *text = to;
  }
}

}  // namespace filesystem
}  // namespace qel

#endif
