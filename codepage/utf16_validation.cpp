// Strict UTF-16: every high surrogate is followed by a low one, and no low one stands
// alone.
#include "qel_codepage.h"

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
  for (std::size_t at = 0; at < whole; at += 2) {
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
