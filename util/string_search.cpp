// Substring search after Horspool: a table of shifts, keyed by the text byte under
// the pattern's last character, lets most alignments be passed over after reading
// a single byte. Where SSE2 is at hand the exact search first rules out alignments
// sixteen at a time.
#include "qel_util.h"

#include <cctype>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "qel_memory.h"

namespace {

unsigned char upper(unsigned char byte) { return static_cast<unsigned char>(std::toupper(byte)); }

#if defined(__SSE2__)
// Tests sixteen alignments at once: only those where the text holds the pattern's
// first and last bytes in place are compared in full. Returns the first alignment
// not ruled out: a match, or the first one too near the end for a whole block.
std::size_t skipBlocks(const unsigned char* text, std::size_t length, const unsigned char* pattern,
                       std::size_t patternLength) {
  const std::size_t lastIndex = patternLength - 1;
  std::size_t start = 0;
  while (start + 16 + lastIndex <= length) {
    // The scan holds no call, so that its registers need not be saved around one.
    const __m128i first = _mm_set1_epi8(static_cast<char>(pattern[0]));
    const __m128i last = _mm_set1_epi8(static_cast<char>(pattern[lastIndex]));
    unsigned int candidates = 0;
    for (; candidates == 0 && start + 16 + lastIndex <= length; start += 16) {
      const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + start));
      const __m128i tails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + start + lastIndex));
      candidates = static_cast<unsigned int>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last))));
    }
    for (; candidates != 0; candidates &= candidates - 1) {
      const std::size_t at = start - 16 + static_cast<std::size_t>(__builtin_ctz(candidates));
      if (std::memcmp(text + at, pattern, patternLength) == 0) return at;
    }
  }
  return start;
}
#endif

}  // namespace

QelClStringSearch::QelClStringSearch(const char* pattern, bool ignoreCase)
    : QelClStringMatchABase(pattern, ignoreCase) {
  const auto length = static_cast<std::uint32_t>(std::strlen(pattern));
  if (ignoreCase) {
    auto* copy = static_cast<char*>(qelMalloc(length + 1));
    for (std::uint32_t i = 0; i <= length; ++i)
      copy[i] = static_cast<char>(upper(static_cast<unsigned char>(pattern[i])));
    cpszPattern = copy;
  }
  for (std::uint32_t& shift : aulShift) shift = length;
  const auto* bytes = reinterpret_cast<const unsigned char*>(cpszPattern);
  for (std::uint32_t i = 0; i + 1 < length; ++i) aulShift[bytes[i]] = length - 1 - i;
}

QelClStringSearch::~QelClStringSearch() {
  if (bFlag) qelFree(const_cast<char*>(cpszPattern));
}

const char* QelClStringSearch::getPattern(const char* text) const {
  return find(text, std::strlen(text));
}

const char* QelClStringSearch::getPattern(const char* text, unsigned int length) const {
  return find(text, length);
}

const char* QelClStringSearch::find(const char* text, std::size_t length) const {
  const std::size_t patternLength = aulShift[0];
  if (patternLength == 0) return text;
  if (patternLength > length) return nullptr;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  const auto* pattern = reinterpret_cast<const unsigned char*>(cpszPattern);
  const std::size_t lastIndex = patternLength - 1;
  const unsigned char last = pattern[lastIndex];
  const std::size_t lastStart = length - patternLength;

  if (!bFlag) {
    std::size_t start = 0;
#if defined(__SSE2__)
    start = skipBlocks(bytes, length, pattern, patternLength);
#endif
    for (; start <= lastStart; start += aulShift[bytes[start + lastIndex]]) {
      if (bytes[start + lastIndex] == last && std::memcmp(bytes + start, pattern, lastIndex) == 0)
        return text + start;
    }
    return nullptr;
  }
  for (std::size_t start = 0; start <= lastStart;) {
    const unsigned char under = upper(bytes[start + lastIndex]);
    if (under == last) {
      std::size_t i = lastIndex;
      while (i > 0 && upper(bytes[start + i - 1]) == pattern[i - 1]) --i;
      if (i == 0) return text + start;
    }
    start += aulShift[under];
  }
  return nullptr;
}
