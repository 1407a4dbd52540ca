// Locale-independent decimal text of integers.
#include "qel_util.h"

#include <algorithm>

namespace {

// Writes an optional sign and the digits of magnitude; returns the text's length.
int writeDecimal(bool negative, std::uint64_t magnitude, char* buffer) {
  char* out = buffer;
  if (negative) *out++ = '-';
  char* const digits = out;
  do {
    *out++ = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::reverse(digits, out);
  *out = '\0';
  return static_cast<int>(out - buffer);
}

// The magnitude of a signed value, through unsigned negation so that the most
// negative value converts too.
int writeSigned(std::int64_t value, char* buffer) {
  const auto magnitude = static_cast<std::uint64_t>(value);
  return writeDecimal(value < 0, value < 0 ? 0 - magnitude : magnitude, buffer);
}

}  // namespace

int qelItoa(int value, char* buffer) { return writeSigned(value, buffer); }

int qelLtoa(long value, char* buffer) { return writeSigned(value, buffer); }

int qelULtoa(unsigned long value, char* buffer) { return writeDecimal(false, value, buffer); }

int qelI64toa(std::int64_t value, char* buffer) { return writeSigned(value, buffer); }

int qelW64toa(std::uint64_t value, char* buffer) { return writeDecimal(false, value, buffer); }
