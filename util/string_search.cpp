// Substring search after Horspool: a table of shifts, keyed by the text byte under
// the pattern's last character, lets most alignments be passed over after reading
// a single byte. Where the processor has AVX2 or AVX-512 the exact search first
// rules out alignments 32 to 128 at a time by two or three
// of the pattern's bytes.
#include "qel_util.h"

#include <cctype>
#include <cstring>

#include "util/candidate_scan.h"
#include "qel_memory.h"

namespace {

unsigned char upper(unsigned char byte) { return static_cast<unsigned char>(std::toupper(byte)); }

// Runs the vector scan where the processor has one: returns whether it found the
// pattern, and at the match or the first alignment it did not rule out.
bool vectorScan(const unsigned char* text, std::size_t length, const unsigned char* pattern, std::size_t patternLength,
                const std::uint32_t probeOffsets[qel::kProbes], std::size_t& at) {
  at = 0;
  const qel::PatternScan scan = qel::patternScan(qel::probeCount(probeOffsets));
  if (scan == nullptr) return false;
  qel::Probe probe{};
  for (std::size_t k = 0; k < qel::kProbes; ++k) {
    probe.offset[k] = probeOffsets[k];
    probe.byte[k] = pattern[probeOffsets[k]];
  }
  probe.pattern = pattern;
  probe.length = patternLength;
  const qel::ScanResult result = scan(text, length, probe);
  at = result.at;
  return result.found;
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
    std::size_t start = 0;
    if (vectorScan(bytes, length, pattern, patternLength, aulProbe, start)) return text + start;
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
