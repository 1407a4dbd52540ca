#include "candidate_scan.h"

#include <cstdint>
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

// Bit i: alignment i of the block holds every probe byte in place.
template <std::size_t kCount>
__attribute__((target("avx512f,avx512bw"), always_inline)) inline std::uint64_t candidates64(
    const unsigned char* block, const std::size_t offset[kProbes], const __m512i bytes[kProbes]) {
  __mmask64 all = _mm512_cmpeq_epi8_mask(bytes[0], _mm512_loadu_si512(block + offset[0]));
  for (std::size_t k = 1; k < kCount; ++k)
    all = _mm512_mask_cmpeq_epi8_mask(all, bytes[k], _mm512_loadu_si512(block + offset[k]));
  return all;
}

// The loops hold no call, so that no vector register needs saving around one. The
// wide loop tests 128 alignments a step, the second 64 for the rest.
template <std::size_t kCount>
__attribute__((target("avx512f,avx512bw"))) Candidates scanAvx512(const unsigned char* text, std::size_t start,
                                                                    std::size_t length, const Probe& probe) {
  __m512i bytes[kProbes];
  for (std::size_t k = 0; k < kProbes; ++k) bytes[k] = _mm512_set1_epi8(static_cast<char>(probe.byte[k]));
  // After one block from start, the blocks begin where the first probe's loads are
  // aligned to a cache line, so that they never span two.
  const std::size_t misaligned = reinterpret_cast<std::uintptr_t>(text + start + probe.offset[0]) % 64;
  if (misaligned != 0 && start + 64 + probe.lastIndex <= length) {
    const std::uint64_t found = candidates64<kCount>(text + start, probe.offset, bytes);
    if (found != 0) return {start, found, 64};
    start += 64 - misaligned;
  }
  for (; start + 128 + probe.lastIndex <= length; start += 128) {
    const std::uint64_t low = candidates64<kCount>(text + start, probe.offset, bytes);
    const std::uint64_t high = candidates64<kCount>(text + start + 64, probe.offset, bytes);
    if ((low | high) != 0) return low != 0 ? Candidates{start, low, 64} : Candidates{start + 64, high, 64};
  }
  for (; start + 64 + probe.lastIndex <= length; start += 64) {
    const std::uint64_t found = candidates64<kCount>(text + start, probe.offset, bytes);
    if (found != 0) return {start, found, 64};
  }
  // The alignments left: one block ending at the last alignment, without those
  // already passed.
  const std::size_t lastStart = length - 1 - probe.lastIndex;
  if (start <= lastStart && lastStart >= 63) {
    const std::size_t from = lastStart - 63;
    const std::uint64_t found = candidates64<kCount>(text + from, probe.offset, bytes) & (~std::uint64_t{0} << (start - from));
    if (found != 0) return {from, found, 64};
    start = lastStart + 1;
  }
  return {start, 0, 0};
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
__attribute__((target("avx2"))) Candidates scanAvx2(const unsigned char* text, std::size_t start,
                                                      std::size_t length, const Probe& probe) {
  __m256i bytes[kProbes];
  for (std::size_t k = 0; k < kProbes; ++k) bytes[k] = _mm256_set1_epi8(static_cast<char>(probe.byte[k]));
  for (; start + 32 + probe.lastIndex <= length; start += 32) {
    const std::uint32_t found = candidates32<kCount>(text + start, probe, bytes);
    if (found != 0) return {start, found, 32};
  }
  const std::size_t lastStart = length - 1 - probe.lastIndex;
  if (start <= lastStart && lastStart >= 31) {
    const std::size_t from = lastStart - 31;
    const std::uint32_t found = candidates32<kCount>(text + from, probe, bytes) & (~std::uint32_t{0} << (start - from));
    if (found != 0) return {from, found, 32};
    start = lastStart + 1;
  }
  return {start, 0, 0};
}

}  // namespace

CandidateScan candidateScan(std::size_t probes) {
  enum class Unit { kNone, kAvx2, kAvx512 };
  static const Unit unit = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw")) return Unit::kAvx512;
    return __builtin_cpu_supports("avx2") ? Unit::kAvx2 : Unit::kNone;
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

qel::CandidateScan qel::candidateScan(std::size_t) { return nullptr; }

#endif
