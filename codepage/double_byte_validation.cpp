// Strict reading of the double-byte pages with built-in tables: every pair is one the
// table defines, and on EBCDIC pages the shift codes 0E and 0F alternate, with pairs
// only between them.
#include "codepage/conversion_support.h"
#include "qel_codepage.h"

namespace {

constexpr unsigned char kShiftOut = 0x0E, kShiftIn = 0x0F;

// TEXTFAULT_NONE when the table defines the pair first, second: first selects a page
// (page 0, all U+FFFD, for a byte that starts no pair) and second a value in it.
QelEnTextFault checkPair(const _QelStDBCSTable& table, unsigned char first, unsigned char second) {
  const unsigned int page = table.aucPageNumbers[first] - 1u;
  if (page == 0) return TEXTFAULT_INVALID_LEAD;
  const unsigned char* value = table.pucPages + 512u * page + 2u * second;
  return value[0] == 0xFF && value[1] == 0xFD ? TEXTFAULT_UNDEFINED_PAIR : TEXTFAULT_NONE;
}

// Bytes the table marks as lead bytes start pairs; the others stand alone.
QelEnTextFault checkPairs(const _QelStDBCSTable& table, const unsigned char* text, std::size_t size,
                          std::size_t& at) {
  for (at = 0; at < size; ++at) {
    if (table.pucLeadBytes[text[at]] == 0) continue;
    if (size - at < 2) return TEXTFAULT_TRUNCATED;
    const QelEnTextFault fault = checkPair(table, text[at], text[at + 1]);
    if (fault != TEXTFAULT_NONE) return fault;
    ++at;
  }
  return TEXTFAULT_NONE;
}

}  // namespace

QelEnTextFault qel::codepage::checkShifted(const _QelStDBCSTable& table, const unsigned char* text, std::size_t size,
                                           bool& shiftedOut, std::size_t& lastShiftOut, std::size_t& at) {
  const auto isShift = [](unsigned char byte) { return byte == kShiftOut || byte == kShiftIn; };
  for (at = 0; at < size; ++at) {
    const unsigned char byte = text[at];
    if (isShift(byte)) {
      if (shiftedOut == (byte == kShiftOut)) return TEXTFAULT_UNBALANCED_SHIFT;
      shiftedOut = byte == kShiftOut;
      if (shiftedOut) lastShiftOut = at;
      continue;
    }
    if (!shiftedOut) continue;
    if (size - at < 2) return TEXTFAULT_TRUNCATED;
    if (isShift(text[at + 1])) return TEXTFAULT_PAIR_CUT_BY_SHIFT;
    const QelEnTextFault fault = checkPair(table, byte, text[at + 1]);
    if (fault != TEXTFAULT_NONE) return fault;
    ++at;
  }
  return TEXTFAULT_NONE;
}

QelEnTextFault qelValidateDBCS(std::uint32_t ccsid, const char* text, std::size_t size, std::size_t* offset) {
  bool ebcdic = false;
  const _QelStDBCSTable* table = qelGetDBCStoUCS2Table(ccsid, ebcdic);
  std::size_t at = 0;
  QelEnTextFault fault = TEXTFAULT_UNSUPPORTED_CCSID;
  if (table != nullptr) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (ebcdic) {
      bool shiftedOut = false;
      std::size_t shiftOut = 0;
      fault = qel::codepage::checkShifted(*table, bytes, size, shiftedOut, shiftOut, at);
      if (fault == TEXTFAULT_NONE && shiftedOut) {
        fault = TEXTFAULT_ENDS_SHIFTED_OUT;
        at = shiftOut;
      }
    } else {
      fault = checkPairs(*table, bytes, size, at);
    }
  }
  if (offset != nullptr) *offset = at;
  return fault;
}
