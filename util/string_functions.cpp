// Substring search, character counting and copying up to a delimiter.
#include "qel_util.h"

#include <cctype>
#include <cstring>

namespace {

int lower(char c) { return std::tolower(static_cast<unsigned char>(c)); }

// The first occurrence comparing tolower of both sides. Once the haystack runs out
// during a comparison, no later start can hold the needle either.
const char* findIgnoringCase(const char* haystack, const char* needle) {
  for (;; ++haystack) {
    std::size_t i = 0;
    while (needle[i] != '\0' && haystack[i] != '\0' && lower(haystack[i]) == lower(needle[i])) ++i;
    if (needle[i] == '\0') return haystack;
    if (haystack[i] == '\0') return nullptr;
  }
}

}  // namespace

const char* qelStrFind(const char* haystack, const char* needle, int ignoreCase) {
  return ignoreCase ? findIgnoringCase(haystack, needle) : std::strstr(haystack, needle);
}

unsigned int qelStrCount(const char* text, char c) {
  unsigned int count = 0;
  for (; *text != '\0'; ++text) count += *text == c;
  return count;
}

unsigned int qelStrCopyUntil(char* target, const char* source, char delimiter) {
  unsigned int length = 0;
  for (; source[length] != '\0' && source[length] != delimiter; ++length) target[length] = source[length];
  target[length] = '\0';
  return length;
}
