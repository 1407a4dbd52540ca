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

// Bytes of the pattern and their offsets in it; lastIndex is its length - 1.
struct Probe {
  std::size_t offset[kProbes];
  unsigned char byte[kProbes];
  std::size_t lastIndex;
};

struct Candidates {
  std::size_t start;   // the first alignment of the block
  std::uint64_t mask;  // bit i: alignment start + i is a candidate; 0: no block was left
  std::size_t width;   // the number of alignments the block covered
};

// Scans from alignment start onwards, block by block, and stops at the first block
// holding a candidate. Where less than a block is left, the last block ends at the
// last alignment and overlaps the one before it (its passed alignments are not
// candidates). Texts shorter than a block and its tails are left to the caller:
// the alignments from the start returned with an empty mask are not ruled out.
using CandidateScan = Candidates (*)(const unsigned char* text, std::size_t start, std::size_t length,
                                     const Probe& probe);

// The offsets of the pattern's rarest bytes: the first the rarest of all, the
// second the rarest of those at least half the pattern away from it; a third, as
// far as the pattern allows from both, where the two are common enough to meet
// often in a text. An unused third offset repeats the first (see probeCount); so
// do the others where the pattern is too short.
void chooseProbeOffsets(const unsigned char* pattern, std::size_t length, std::uint32_t offsets[kProbes]);
inline std::size_t probeCount(const std::uint32_t offsets[kProbes]) { return offsets[2] == offsets[0] ? 2 : 3; }

// The scan for this processor and number of probes, or null where it has no
// vector unit for it.
CandidateScan candidateScan(std::size_t probes);

}  // namespace qel

#endif
