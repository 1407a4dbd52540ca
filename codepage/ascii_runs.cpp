// SSE2 (every x86-64 processor has it) moves 16 bytes a step; other processors take 8
// with 64-bit words. A block with other characters still yields its ASCII prefix.
#include "codepage/ascii_runs.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qel::codepage {

#if defined(__SSE2__)

std::size_t widenAscii(const unsigned char* source, std::size_t count, char* target) {
  const __m128i zero = _mm_setzero_si128();
  std::size_t done = 0;
  for (; done + 16 <= count; done += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + done));
    const int others = _mm_movemask_epi8(bytes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 2 * done), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 2 * done + 16), _mm_unpackhi_epi8(bytes, zero));
    if (others != 0) return done + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned int>(others)));
  }
  return done;
}

std::size_t narrowAscii(const unsigned char* source, std::size_t count, unsigned char* target) {
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  std::size_t done = 0;
  for (; done + 8 <= count; done += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * done));
    const auto ascii = static_cast<unsigned int>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, high), zero)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(target + done), _mm_packus_epi16(units, units));
    if (ascii != 0xFFFF) return done + static_cast<std::size_t>(__builtin_ctz(~ascii)) / 2;
  }
  return done;
}

#else

std::size_t widenAscii(const unsigned char* source, std::size_t count, char* target) {
  std::size_t done = 0;
  for (; done + 8 <= count; done += 8) {
    std::uint64_t word;
    std::memcpy(&word, source + done, 8);
    if ((word & 0x8080808080808080u) != 0) break;
    for (std::size_t i = 0; i < 8; ++i) {
      target[2 * (done + i)] = static_cast<char>(source[done + i]);
      target[2 * (done + i) + 1] = 0;
    }
  }
  return done;
}

std::size_t narrowAscii(const unsigned char* source, std::size_t count, unsigned char* target) {
  std::size_t done = 0;
  for (; done + 4 <= count; done += 4) {
    std::uint64_t word;
    std::memcpy(&word, source + 2 * done, 8);
    if ((word & 0xFF80FF80FF80FF80u) != 0) break;  // units little-endian, as the host
    for (std::size_t i = 0; i < 4; ++i) target[done + i] = source[2 * (done + i)];
  }
  return done;
}

#endif

}  // namespace qel::codepage
