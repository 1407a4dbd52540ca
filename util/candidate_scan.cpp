#include "candidate_scan.h"

#include <cstring>

namespace {

// How common a byte is in everyday text and logs, higher for more common: the
// space, then small letters in English letter frequency, digits and punctuation,
// capitals in the same order; control and non-ASCII bytes least.
unsigned commonness(unsigned char byte) {
  static const char kLettersByFrequency[] = "etaoinshrdlcumwfgypbvkjxqz";
  if (byte == ' ') return 255;
  if (byte >= 'a' && byte <= 'z')
    return 250 - 4 * static_cast<unsigned>(std::strchr(kLettersByFrequency, byte) - kLettersByFrequency);
  if (byte >= '0' && byte <= '9') return 160 - 2 * static_cast<unsigned>(byte - '0');
  if (byte != 0 && std::strchr(".,-:/_=()[]'\"\n\t", byte) != nullptr) return 140;
  if (byte >= 'A' && byte <= 'Z')
    return 120 - 2 * static_cast<unsigned>(std::strchr(kLettersByFrequency, byte - 'A' + 'a') - kLettersByFrequency);
  return 40;
}

}  // namespace

void qel::chooseProbeOffsets(const unsigned char* pattern, std::size_t length, std::uint32_t offsets[kProbes]) {
  // Neighbouring bytes of a text go together (the letters of one word), so a probe
  // stands at least kApart from the others where the pattern leaves room.
  constexpr std::size_t kApart = 4;
  for (std::size_t chosen = 0; chosen < kProbes; ++chosen) {
    std::size_t best = length;
    bool bestApart = false;
    for (std::size_t i = 0; i < length; ++i) {
      bool taken = false;
      bool apart = true;
      for (std::size_t k = 0; k < chosen; ++k) {
        const std::size_t distance = i > offsets[k] ? i - offsets[k] : offsets[k] - i;
        taken = taken || distance == 0;
        apart = apart && distance >= kApart;
      }
      if (taken) continue;
      if (best == length || (apart && !bestApart) ||
          (apart == bestApart && commonness(pattern[i]) < commonness(pattern[best]))) {
        best = i;
        bestApart = apart;
      }
    }
    offsets[chosen] = best < length ? static_cast<std::uint32_t>(best) : (chosen == 0 ? 0 : offsets[0]);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace qel {
namespace {

// Bit i: alignment i of the block holds every probe byte in place.
__attribute__((target("avx512f,avx512bw"), always_inline)) inline std::uint64_t candidates64(
    const unsigned char* block, const std::size_t offset[kProbes], const __m512i bytes[kProbes]) {
  __mmask64 both = _mm512_cmpeq_epi8_mask(bytes[0], _mm512_loadu_si512(block + offset[0]));
  both = _mm512_mask_cmpeq_epi8_mask(both, bytes[1], _mm512_loadu_si512(block + offset[1]));
  return _mm512_mask_cmpeq_epi8_mask(both, bytes[2], _mm512_loadu_si512(block + offset[2]));
}

// The loops hold no call, so that no vector register needs saving around one. The
// wide loop tests 128 alignments a step, the second 64 for the rest.
__attribute__((target("avx512f,avx512bw"))) Candidates scanAvx512(const unsigned char* text, std::size_t start,
                                                                    std::size_t length, const Probe& probe) {
  const __m512i bytes[kProbes] = {_mm512_set1_epi8(static_cast<char>(probe.byte[0])),
                                  _mm512_set1_epi8(static_cast<char>(probe.byte[1])),
                                  _mm512_set1_epi8(static_cast<char>(probe.byte[2]))};
  for (; start + 128 + probe.lastIndex <= length; start += 128) {
    const std::uint64_t low = candidates64(text + start, probe.offset, bytes);
    const std::uint64_t high = candidates64(text + start + 64, probe.offset, bytes);
    if ((low | high) != 0) return low != 0 ? Candidates{start, low, 64} : Candidates{start + 64, high, 64};
  }
  for (; start + 64 + probe.lastIndex <= length; start += 64) {
    const std::uint64_t found = candidates64(text + start, probe.offset, bytes);
    if (found != 0) return {start, found, 64};
  }
  // The alignments left: one block ending at the last alignment, without those
  // already passed.
  const std::size_t lastStart = length - 1 - probe.lastIndex;
  if (start <= lastStart && lastStart >= 63) {
    const std::size_t from = lastStart - 63;
    const std::uint64_t found = candidates64(text + from, probe.offset, bytes) & (~std::uint64_t{0} << (start - from));
    if (found != 0) return {from, found, 64};
    start = lastStart + 1;
  }
  return {start, 0, 0};
}

// Bit i: alignment i of the block holds every probe byte in place.
__attribute__((target("avx2"), always_inline)) inline std::uint32_t candidates32(const unsigned char* block,
                                                                                 const Probe& probe,
                                                                                 const __m256i bytes[kProbes]) {
  __m256i all = _mm256_set1_epi8(-1);
  for (std::size_t k = 0; k < kProbes; ++k) {
    const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + probe.offset[k]));
    all = _mm256_and_si256(all, _mm256_cmpeq_epi8(at, bytes[k]));
  }
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(all));
}

__attribute__((target("avx2"))) Candidates scanAvx2(const unsigned char* text, std::size_t start,
                                                      std::size_t length, const Probe& probe) {
  __m256i bytes[kProbes];
  for (std::size_t k = 0; k < kProbes; ++k) bytes[k] = _mm256_set1_epi8(static_cast<char>(probe.byte[k]));
  for (; start + 32 + probe.lastIndex <= length; start += 32) {
    const std::uint32_t found = candidates32(text + start, probe, bytes);
    if (found != 0) return {start, found, 32};
  }
  const std::size_t lastStart = length - 1 - probe.lastIndex;
  if (start <= lastStart && lastStart >= 31) {
    const std::size_t from = lastStart - 31;
    const std::uint32_t found = candidates32(text + from, probe, bytes) & (~std::uint32_t{0} << (start - from));
    if (found != 0) return {from, found, 32};
    start = lastStart + 1;
  }
  return {start, 0, 0};
}

}  // namespace

CandidateScan candidateScan() {
  static const CandidateScan scan = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw")) return &scanAvx512;
    if (__builtin_cpu_supports("avx2")) return &scanAvx2;
    return static_cast<CandidateScan>(nullptr);
  }();
  return scan;
}

}  // namespace qel

#else

qel::CandidateScan qel::candidateScan() { return nullptr; }

#endif
