// Substring search after Horspool: a table of shifts, keyed by the text byte under
// the pattern's last character, lets most alignments be passed over after reading
// a single byte. Where the processor has AVX2 or AVX-512 the exact search first
// rules out alignments 32 to 128 at a time by two or three
// of the pattern's bytes.
#include "qel_util.h"

#include <cctype>
#include <cstring>

#include "candidate_scan.h"
#include "qel_memory.h"

namespace {

unsigned char upper(unsigned char byte) { return static_cast<unsigned char>(std::toupper(byte)); }

// Skips, block by block, the alignments the scan rules out. Returns the first
// alignment not ruled out: a match, or the first one too near the end for a block.
std::size_t skipBlocks(const unsigned char* text, std::size_t length, const unsigned char* pattern,
                       std::size_t patternLength, const std::uint32_t probeOffsets[qel::kProbes]) {
  const std::size_t probes = qel::probeCount(probeOffsets);
  const qel::CandidateScan scan = qel::candidateScan(probes);
  if (scan == nullptr) return 0;
  qel::Probe probe{};
  for (std::size_t k = 0; k < qel::kProbes; ++k) {
    probe.offset[k] = probeOffsets[k];
    probe.byte[k] = pattern[probeOffsets[k]];
  }
  probe.lastIndex = patternLength - 1;
  for (std::size_t start = 0;;) {
    const qel::Candidates block = scan(text, start, length, probe);
    if (block.mask == 0) return block.start;
    for (std::uint64_t rest = block.mask; rest != 0; rest &= rest - 1) {
      const std::size_t at = block.start + static_cast<std::size_t>(__builtin_ctzll(rest));
      if (std::memcmp(text + at, pattern, patternLength) == 0) return at;
    }
    start = block.start + block.width;
  }
}

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
  static_assert(sizeof aulProbe / sizeof *aulProbe == qel::kProbes, "one offset per probe");
  qel::chooseProbeOffsets(bytes, length, aulProbe);
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
    for (std::size_t start = skipBlocks(bytes, length, pattern, patternLength, aulProbe); start <= lastStart;
         start += aulShift[bytes[start + lastIndex]]) {
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
