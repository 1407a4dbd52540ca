// The built-in tables from UCS-2 into the single- and double-byte code pages, generated
// from the published mappings in codepage/ucm, and the encoder that writes through them.
#include "codepage/reverse_tables.h"

#include <algorithm>
#include <iterator>

namespace qel::codepage {

enum class Form : unsigned char { SINGLE, DOUBLE, EBCDIC_DOUBLE };

struct ReverseTable {
  std::uint32_t ulCCSID;
  Form enForm;
  std::uint16_t ausPages[256];  // by the unit's high byte: its page in the form's pool
};

namespace {

#include "codepage/reverse_tables.inc"

constexpr char kShiftOut = 0x0E, kShiftIn = 0x0F;

// The page's value for the unit: a byte below 100 (hex), else a pair, high byte first.
std::uint16_t valueOf(const ReverseTable& table, std::uint16_t unit) {
  const unsigned int page = table.ausPages[unit >> 8];
  const unsigned int low = unit & 0xFFu;
  return table.enForm == Form::SINGLE ? kSinglePages[page][low] : kDoublePages[page][low];
}

// The code points that are left out, not substituted, when the page has no mapping for
// them: Unicode's default ignorable code points as ICU's substitution skips them (soft
// hyphen, joiners, direction marks, variation selectors, tags, ...).
bool isDefaultIgnorable(std::uint32_t codePoint) {
  constexpr std::uint32_t kRanges[][2] = {
      {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x061C, 0x061C}, {0x115F, 0x1160}, {0x17B4, 0x17B5},
      {0x180B, 0x180F}, {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x206F}, {0x3164, 0x3164},
      {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3},
      {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};
  return std::any_of(std::begin(kRanges), std::end(kRanges),
                     [codePoint](const std::uint32_t(&range)[2]) { return codePoint >= range[0] && codePoint <= range[1]; });
}

bool isHighSurrogate(std::uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(std::uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::uint16_t unitAt(const char* units, std::size_t index) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(units) + 2 * index;
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

}  // namespace

const ReverseTable* findReverseTable(std::uint32_t ccsid) {
  const auto* const end = std::end(kReverseTables);
  const auto* found = std::lower_bound(std::begin(kReverseTables), end, ccsid,
                                       [](const ReverseTable& table, std::uint32_t key) { return table.ulCCSID < key; });
  return found != end && found->ulCCSID == ccsid ? found : nullptr;
}

bool hasMapping(const ReverseTable& table, std::uint16_t unit) {
  const unsigned int page = table.ausPages[unit >> 8];
  const unsigned int low = unit & 0xFFu;
  const unsigned char bits = table.enForm == Form::SINGLE ? kSingleMapped[page][low >> 3] : kDoubleMapped[page][low >> 3];
  return (bits >> (low & 7u) & 1u) != 0;
}

// A single-byte page's run of mapped units, a byte each, from at up to end; stops at a
// unit without mapping (every surrogate is one). Returns where it stopped.
std::size_t ReverseEncoder::encodeMappedRun(const char* units, std::size_t at, std::size_t end, char* target,
                                            std::size_t& written) const {
  for (; at < end; ++at) {
    const std::uint16_t unit = unitAt(units, at);
    const unsigned int page = pstTable->ausPages[unit >> 8];
    const unsigned int low = unit & 0xFFu;
    if ((kSingleMapped[page][low >> 3] >> (low & 7u) & 1u) == 0) break;
    target[written++] = static_cast<char>(kSinglePages[page][low]);
  }
  return at;
}

ReverseEncoder::ReverseEncoder(const ReverseTable& table) : pstTable(&table), bShiftedOut(false) {}

std::size_t ReverseEncoder::encode(const char* units, std::size_t count, char* target, std::size_t room,
                                   std::size_t& written, bool stopAtUnmappable, bool endOfText) {
  const bool shifting = pstTable->enForm == Form::EBCDIC_DOUBLE;
  std::size_t at = 0;
  written = 0;
  while (at < count) {
    if (pstTable->enForm == Form::SINGLE) {
      at = encodeMappedRun(units, at, std::min(count, at + (room - written)), target, written);
      if (at == count) break;
    }
    const std::uint16_t unit = unitAt(units, at);
    std::uint32_t codePoint = unit;
    std::size_t taken = 1;
    if (isHighSurrogate(unit)) {
      if (at + 1 == count && !endOfText) break;  // the partner may come with the next call
      const std::uint16_t next = at + 1 < count ? unitAt(units, at + 1) : 0;
      if (isLowSurrogate(next)) {
        codePoint = 0x10000 + ((unit - 0xD800u) << 10) + (next - 0xDC00u);
        taken = 2;
      }
    }
    // A surrogate has no mapping: its value is the substitution, for a pair as for one alone.
    const bool mapped = hasMapping(*pstTable, unit);
    if (stopAtUnmappable && !mapped) break;
    if (!mapped && isDefaultIgnorable(codePoint)) {
      at += taken;
      continue;
    }
    const std::uint16_t value = valueOf(*pstTable, unit);
    const bool pair = value > 0xFF;
    const bool shift = shifting && pair != bShiftedOut;
    if (room - written < (pair ? 2u : 1u) + (shift ? 1u : 0u)) break;
    if (shift) {
      target[written++] = pair ? kShiftOut : kShiftIn;
      bShiftedOut = pair;
    }
    if (pair) target[written++] = static_cast<char>(value >> 8);
    target[written++] = static_cast<char>(value & 0xFF);
    at += taken;
  }
  return at;
}

std::size_t ReverseEncoder::finish(char* target, std::size_t room) {
  if (!bShiftedOut || room == 0) return 0;
  target[0] = kShiftIn;
  bShiftedOut = false;
  return 1;
}

}  // namespace qel::codepage
