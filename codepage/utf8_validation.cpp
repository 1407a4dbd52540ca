// Strict UTF-8: runs of ASCII are skipped sixteen bytes at a time (eight without SSE2),
// well-formed two- and three-byte sequences are taken in line, and every other sequence
// is checked against the well-formed forms of Unicode's Table 3-7.
#include <cstring>

#include "qel_codepage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The first byte at or after from that is not ASCII, or end.
const unsigned char* skipAscii(const unsigned char* from, const unsigned char* end) {
#if defined(__SSE2__)
  for (; end - from >= 16; from += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const int others = _mm_movemask_epi8(bytes);
    if (others != 0) return from + __builtin_ctz(static_cast<unsigned int>(others));
  }
#else
  for (; end - from >= 8; from += 8) {
    std::uint64_t word;
    std::memcpy(&word, from, 8);
    if ((word & 0x8080808080808080u) != 0) break;
  }
#endif
  while (from < end && *from < 0x80) ++from;
  return from;
}

// Checks the sequence that starts with the non-ASCII byte at from; sets its length.
QelEnTextFault checkSequence(const unsigned char* from, const unsigned char* end, std::size_t& length) {
  const unsigned char lead = *from;
  if (lead < 0xC0) return TEXTFAULT_UNEXPECTED_CONTINUATION;
  if (lead < 0xC2) return TEXTFAULT_OVERLONG;
  if (lead > 0xF4) return lead < 0xF8 ? TEXTFAULT_TOO_LARGE : TEXTFAULT_INVALID_LEAD;
  length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  // The second byte's range narrows after four lead bytes; outside it but still a
  // continuation byte, it tells the fault.
  unsigned char low = 0x80, high = 0xBF;
  QelEnTextFault narrowed = TEXTFAULT_MISSING_CONTINUATION;
  switch (lead) {
    case 0xE0: low = 0xA0, narrowed = TEXTFAULT_OVERLONG; break;
    case 0xED: high = 0x9F, narrowed = TEXTFAULT_SURROGATE; break;
    case 0xF0: low = 0x90, narrowed = TEXTFAULT_OVERLONG; break;
    case 0xF4: high = 0x8F, narrowed = TEXTFAULT_TOO_LARGE; break;
    default: break;
  }
  const auto available = static_cast<std::size_t>(end - from);
  if (available < 2) return TEXTFAULT_TRUNCATED;
  if (from[1] < low || from[1] > high) return (from[1] & 0xC0) == 0x80 ? narrowed : TEXTFAULT_MISSING_CONTINUATION;
  for (std::size_t i = 2; i < length; ++i) {
    if (i >= available) return TEXTFAULT_TRUNCATED;
    if ((from[i] & 0xC0) != 0x80) return TEXTFAULT_MISSING_CONTINUATION;
  }
  return TEXTFAULT_NONE;
}

}  // namespace

// The common well-formed sequences are taken in line; checkSequence names the fault of
// any other.
QelEnTextFault qelValidateUTF8(const char* text, std::size_t size, std::size_t* offset) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* const end = begin + size;
  const auto isContinuation = [](unsigned char byte) { return (byte & 0xC0) == 0x80; };
  const unsigned char* at = begin;
  while (at < end) {
    const unsigned char lead = *at;
    const auto available = end - at;
    if (lead < 0x80) {
      at = skipAscii(at, end);
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF && available >= 2 && isContinuation(at[1])) {
      at += 2;
      continue;
    }
    if (lead >= 0xE0 && lead <= 0xEF && available >= 3) {
      const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
      if (at[1] >= low && at[1] <= high && isContinuation(at[2])) {
        at += 3;
        continue;
      }
    }
    std::size_t length = 0;
    const QelEnTextFault fault = checkSequence(at, end, length);
    if (fault != TEXTFAULT_NONE) {
      if (offset != nullptr) *offset = static_cast<std::size_t>(at - begin);
      return fault;
    }
    at += length;
  }
  if (offset != nullptr) *offset = size;
  return TEXTFAULT_NONE;
}
