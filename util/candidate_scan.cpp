// The vector scan for a pattern's candidate alignments (AVX-512, else AVX2).
#include "util/candidate_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// About how often a byte stands in everyday text and logs: the space, small
// letters by their frequency in English, digits and punctuation, capitals, and
// least of all control and non-ASCII bytes.
double frequency(unsigned char byte) {
  static const char kLetters[] = "etaoinshrdlcumwfgypbvkjxqz";
  static const double kLetterFrequency[26] = {.10,  .075, .065, .065, .06,  .06,  .055, .05,  .05,
                                              .035, .033, .023, .023, .02,  .019, .018, .016, .016,
                                              .015, .012, .008, .006, .001, .001, .001, .001};
  if (byte == ' ') return .18;
  if (byte >= 'a' && byte <= 'z') return kLetterFrequency[std::strchr(kLetters, byte) - kLetters];
  if (byte >= '0' && byte <= '9') return .01;
  if (byte != 0 && std::strchr(".,-:/_=()[]'\"\n\t", byte) != nullptr) return .01;
  if (byte >= 'A' && byte <= 'Z') return .003;
  return .001;
}

std::size_t distance(std::size_t a, std::size_t b) { return a > b ? a - b : b - a; }

// The rarest byte not yet taken, preferring those at least apart from every one
// taken; length when every byte is taken.
std::size_t rarest(const unsigned char* pattern, std::size_t length, const std::uint32_t* taken,
                   std::size_t takenCount, std::size_t apart) {
  std::size_t best = length;
  bool bestApart = false;
  for (std::size_t i = 0; i < length; ++i) {
    bool isTaken = false;
    bool isApart = true;
    for (std::size_t k = 0; k < takenCount; ++k) {
      isTaken = isTaken || i == taken[k];
      isApart = isApart && distance(i, taken[k]) >= apart;
    }
    if (isTaken) continue;
    if (best == length || (isApart && !bestApart) ||
        (isApart == bestApart && frequency(pattern[i]) < frequency(pattern[best]))) {
      best = i;
      bestApart = isApart;
    }
  }
  return best;
}

}  // namespace

void qel::chooseProbeOffsets(const unsigned char* pattern, std::size_t length, std::uint32_t offsets[kProbes]) {
  // Neighbouring bytes of a text go together (the letters of one word, the words
  // of a common phrase), so the probes stand apart where the pattern leaves room.
  // Two probes are enough where they would meet in at most one alignment of 1024.
  constexpr double kRareEnough = 1.0 / 1024;
  constexpr std::size_t kApart = 4;
  offsets[0] = offsets[1] = offsets[2] = 0;
  if (length == 0) return;
  offsets[0] = static_cast<std::uint32_t>(rarest(pattern, length, offsets, 0, 0));
  const std::size_t second = rarest(pattern, length, offsets, 1, length / 2);
  if (second == length) return;
  offsets[1] = static_cast<std::uint32_t>(second);
  offsets[2] = offsets[0];
  if (frequency(pattern[offsets[0]]) * frequency(pattern[second]) <= kRareEnough) return;
  const std::size_t third = rarest(pattern, length, offsets, 2, kApart);
  if (third != length) offsets[2] = static_cast<std::uint32_t>(third);
}

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace qel {
namespace {

// Whether the n bytes at a and b are equal, eight at a time; inline and without a
// call, so that the scans keep their vector registers.
__attribute__((always_inline)) inline bool equalBytes(const unsigned char* a, const unsigned char* b, std::size_t n) {
  for (; n >= 8; a += 8, b += 8, n -= 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
  }
  for (; n > 0; ++a, ++b, --n)
    if (*a != *b) return false;
  return true;
}

// The first candidate of the block at from that is a match, into at.
__attribute__((always_inline)) inline bool matchIn(const unsigned char* text, std::size_t from, std::uint64_t mask,
                                                   const Probe& probe, std::size_t& at) {
  for (; mask != 0; mask &= mask - 1) {
    at = from + static_cast<std::size_t>(__builtin_ctzll(mask));
    if (equalBytes(text + at, probe.pattern, probe.length)) return true;
  }
  return false;
}

// Bit i: alignment i of the block holds every probe byte in place.
template <std::size_t kCount>
__attribute__((target("avx512f,avx512bw"), always_inline)) inline std::uint64_t candidates64(
    const unsigned char* block, const std::size_t offset[kProbes], const __m512i bytes[kProbes]) {
  __mmask64 all = _mm512_cmpeq_epi8_mask(bytes[0], _mm512_loadu_si512(block + offset[0]));
  for (std::size_t k = 1; k < kCount; ++k)
    all = _mm512_mask_cmpeq_epi8_mask(all, bytes[k], _mm512_loadu_si512(block + offset[k]));
  return all;
}

// After one block from the start, the blocks begin where the first probe's loads
// are aligned to a cache line, so that they never span two (the alignments the two
// share are tested twice); the wide loop tests 128 alignments a step.
template <std::size_t kCount>
__attribute__((target("avx512f,avx512bw"))) ScanResult scanAvx512(const unsigned char* text, std::size_t length,
                                                                    const Probe& probe) {
  const std::size_t lastIndex = probe.length - 1;
  if (length < 64 + lastIndex) return {0, false};
  __m512i bytes[kProbes];
  for (std::size_t k = 0; k < kProbes; ++k) bytes[k] = _mm512_set1_epi8(static_cast<char>(probe.byte[k]));
  std::size_t at = 0;
  std::size_t start = 0;
  const std::size_t misaligned = reinterpret_cast<std::uintptr_t>(text + probe.offset[0]) % 64;
  if (misaligned != 0) {
    if (matchIn(text, 0, candidates64<kCount>(text, probe.offset, bytes), probe, at)) return {at, true};
    start = 64 - misaligned;
  }
  for (; start + 128 + lastIndex <= length; start += 128) {
    const std::uint64_t low = candidates64<kCount>(text + start, probe.offset, bytes);
    const std::uint64_t high = candidates64<kCount>(text + start + 64, probe.offset, bytes);
    if ((low | high) != 0 && (matchIn(text, start, low, probe, at) || matchIn(text, start + 64, high, probe, at)))
      return {at, true};
  }
  for (; start + 64 + lastIndex <= length; start += 64) {
    if (matchIn(text, start, candidates64<kCount>(text + start, probe.offset, bytes), probe, at)) return {at, true};
  }
  const std::size_t lastStart = length - probe.length;
  if (start <= lastStart) {
    const std::size_t from = lastStart - 63;
    const std::uint64_t mask = candidates64<kCount>(text + from, probe.offset, bytes) & (~std::uint64_t{0} << (start - from));
    if (matchIn(text, from, mask, probe, at)) return {at, true};
  }
  return {lastStart + 1, false};
}

// Bit i: alignment i of the block holds every probe byte in place.
template <std::size_t kCount>
__attribute__((target("avx2"), always_inline)) inline std::uint32_t candidates32(const unsigned char* block,
                                                                                 const Probe& probe,
                                                                                 const __m256i bytes[kProbes]) {
  __m256i all = _mm256_set1_epi8(-1);
  for (std::size_t k = 0; k < kCount; ++k) {
    const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + probe.offset[k]));
    all = _mm256_and_si256(all, _mm256_cmpeq_epi8(at, bytes[k]));
  }
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(all));
}

template <std::size_t kCount>
__attribute__((target("avx2"))) ScanResult scanAvx2(const unsigned char* text, std::size_t length,
                                                      const Probe& probe) {
  const std::size_t lastIndex = probe.length - 1;
  if (length < 32 + lastIndex) return {0, false};
  __m256i bytes[kProbes];
  for (std::size_t k = 0; k < kProbes; ++k) bytes[k] = _mm256_set1_epi8(static_cast<char>(probe.byte[k]));
  std::size_t at = 0;
  std::size_t start = 0;
  for (; start + 32 + lastIndex <= length; start += 32) {
    if (matchIn(text, start, candidates32<kCount>(text + start, probe, bytes), probe, at)) return {at, true};
  }
  const std::size_t lastStart = length - probe.length;
  if (start <= lastStart) {
    const std::size_t from = lastStart - 31;
    const std::uint32_t mask = candidates32<kCount>(text + from, probe, bytes) & (~std::uint32_t{0} << (start - from));
    if (matchIn(text, from, mask, probe, at)) return {at, true};
  }
  return {lastStart + 1, false};
}

}  // namespace

// QEL_SEARCH_VECTORS set to "avx2" or "none" holds the scan below the widest unit the
// processor has: to compare the paths, and to test each one on a processor with all.
PatternScan patternScan(std::size_t probes) {
  enum class Unit { kNone, kAvx2, kAvx512 };
  static const Unit unit = [] {
    __builtin_cpu_init();
    const char* cap = std::getenv("QEL_SEARCH_VECTORS");
    const Unit limit = cap == nullptr              ? Unit::kAvx512
                       : std::strcmp(cap, "avx2") == 0 ? Unit::kAvx2
                       : std::strcmp(cap, "none") == 0 ? Unit::kNone
                                                       : Unit::kAvx512;
    const Unit widest = __builtin_cpu_supports("avx512bw") ? Unit::kAvx512
                        : __builtin_cpu_supports("avx2")   ? Unit::kAvx2
                                                           : Unit::kNone;
    return std::min(widest, limit);
  }();
  switch (unit) {
    case Unit::kAvx512: return probes == 2 ? &scanAvx512<2> : &scanAvx512<3>;
    case Unit::kAvx2: return probes == 2 ? &scanAvx2<2> : &scanAvx2<3>;
    case Unit::kNone: break;
  }
  return nullptr;
}

}  // namespace qel

#else

qel::PatternScan qel::patternScan(std::size_t) { return nullptr; }

#endif
