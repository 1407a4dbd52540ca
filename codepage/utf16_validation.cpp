// Strict UTF-16: every high surrogate is followed by a low one, and no low one stands
// alone.
#include <cstdint>
#include <cstring>

#include "qel_codepage.h"

namespace {

// The offset of the first group of four units, from at, that may hold a surrogate: four
// units are one 64-bit word, and a word whose 16-bit lanes all differ from D8..DF in their
// high byte is skipped whole.
std::size_t skipPlainUnits(const unsigned char* bytes, std::size_t at, std::size_t whole, bool bigEndian) {
  const std::uint64_t mask = bigEndian ? 0x00F800F800F800F8u : 0xF800F800F800F800u;
  const std::uint64_t surrogate = bigEndian ? 0x00D800D800D800D8u : 0xD800D800D800D800u;
  for (; at + 8 <= whole; at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes + at, sizeof word);
    const std::uint64_t lanes = (word & mask) ^ surrogate;  // a lane of 0 is a surrogate
    if (((lanes - 0x0001000100010001u) & ~lanes & 0x8000800080008000u) != 0) break;
  }
  return at;
}

}  // namespace

QelEnTextFault qelValidateUTF16(const char* text, std::size_t size, bool bigEndian, std::size_t* offset) {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(text);
  const std::size_t high = bigEndian ? 0 : 1;
  const auto unitAt = [&](std::size_t at) {
    return static_cast<unsigned int>(bytes[at + high] << 8 | bytes[at + 1 - high]);
  };
  const auto fail = [offset](QelEnTextFault fault, std::size_t at) {
    if (offset != nullptr) *offset = at;
    return fault;
  };
  const std::size_t whole = size & ~static_cast<std::size_t>(1);
  for (std::size_t at = skipPlainUnits(bytes, 0, whole, bigEndian); at < whole;
       at = skipPlainUnits(bytes, at + 2, whole, bigEndian)) {
    const unsigned int unit = unitAt(at);
    if (unit < 0xD800 || unit > 0xDFFF) continue;
    if (unit >= 0xDC00) return fail(TEXTFAULT_UNPAIRED_SURROGATE, at);
    if (at + 2 >= whole) return fail(TEXTFAULT_TRUNCATED, at);
    const unsigned int next = unitAt(at + 2);
    if (next < 0xDC00 || next > 0xDFFF) return fail(TEXTFAULT_UNPAIRED_SURROGATE, at);
    at += 2;
  }
  if (whole != size) return fail(TEXTFAULT_TRUNCATED, whole);
  return fail(TEXTFAULT_NONE, size);
}
