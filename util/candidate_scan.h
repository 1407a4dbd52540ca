// Finds the alignments of a pattern in a text where the text holds two or three
// chosen bytes of the pattern in place, a whole block of alignments per step, with
// the widest vector unit the processor offers (AVX-512, else AVX2). The substring
// search compares only those alignments in full, so it probes the pattern's rarest
// bytes, spread over it.
#ifndef VRNQEL43_UTIL_CANDIDATE_SCAN_H
#define VRNQEL43_UTIL_CANDIDATE_SCAN_H

#include <cstddef>
#include <cstdint>

namespace qel {

constexpr std::size_t kProbes = 3;

// Bytes of the pattern and their offsets in it, and the whole pattern (at least
// one byte).
struct Probe {
  std::size_t offset[kProbes];
  unsigned char byte[kProbes];
  const unsigned char* pattern;
  std::size_t length;
};

// found: the first alignment at which the text holds the pattern is at. Else every
// alignment before at was ruled out: all of them, or none (at 0) for a text too
// short for a block and its tails, which is left to the caller.
struct ScanResult {
  std::size_t at;
  bool found;
};

// Scans the text block by block and compares the candidates of a block in full
// before it goes on. Where less than a block is left, the last block ends at the
// last alignment and overlaps the one before it.
using PatternScan = ScanResult (*)(const unsigned char* text, std::size_t length, const Probe& probe);

// The offsets of the pattern's rarest bytes: the first the rarest of all, the
// second the rarest of those at least half the pattern away from it; a third, as
// far as the pattern allows from both, where the two are common enough to meet
// often in a text. An unused third offset repeats the first (see probeCount); so
// do the others where the pattern is too short.
void chooseProbeOffsets(const unsigned char* pattern, std::size_t length, std::uint32_t offsets[kProbes]);
inline std::size_t probeCount(const std::uint32_t offsets[kProbes]) { return offsets[2] == offsets[0] ? 2 : 3; }

// The scan for this processor and number of probes, or null where it has no
// vector unit for it.
PatternScan patternScan(std::size_t probes);

}  // namespace qel

#endif
