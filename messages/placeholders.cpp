// Expands %1 to %n in string-table messages: missing or out-of-range insertions read "???".
#include "messages/placeholders.h"

#include <algorithm>
#include <cstring>

namespace {

const char kMissing[] = "???";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The insertion a placeholder selects: its number is read as atol reads it (blanks
// skipped, a sign accepted); numbers outside 1 to count select "???".
const char* selectInsertion(const char* number, const char* const insertions[], std::size_t count) {
  while (isBlank(*number)) ++number;
  bool negative = false;
  if (*number == '+' || *number == '-') negative = *number++ == '-';
  std::size_t value = 0;
  for (; isDigit(*number) && value <= count; ++number) value = value * 10 + static_cast<std::size_t>(*number - '0');
  if (negative || value == 0 || value > count || insertions[value - 1] == nullptr) return kMissing;
  return insertions[value - 1];
}

}  // namespace

std::size_t qel::replaceVars(char* destination, std::size_t capacity, const char* source,
                             const char* const insertions[], std::size_t count) {
  std::size_t written = 0;
  while (*source != '\0' && written < capacity) {
    if (*source != '%') {
      destination[written++] = *source++;
    } else if (source[1] == '%') {
      destination[written++] = '%';
      source += 2;
    } else {
      const char* text = selectInsertion(source + 1, insertions, count);
      const std::size_t length = std::min(std::strlen(text), capacity - written);
      std::memcpy(destination + written, text, length);
      written += length;
      for (++source; isDigit(*source); ++source) {
      }
    }
  }
  destination[written] = '\0';
  return written;
}
