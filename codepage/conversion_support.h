// What the conversion functions share.
#ifndef VRNQEL43_CODEPAGE_CONVERSION_SUPPORT_H
#define VRNQEL43_CODEPAGE_CONVERSION_SUPPORT_H

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "qel_codepage.h"

namespace qel::codepage {

// The number whose tables a CCSID uses (5026 uses 930's), and the number ICU converts
// into for it (GB 18030's three numbers convert alike).
std::uint32_t tableNumber(std::uint32_t number);
std::uint32_t icuNumber(std::uint32_t number);
// count, or room when count exceeds it; then CPCONVERTER_TOO_BIG is recorded.
unsigned int fitting(QelClConverterABase::_QelStConverter& block, unsigned int count, unsigned int room);
// size rounded down to even; an odd size records CPCONVERTER_INCOMPLETE.
unsigned int evenSize(QelClConverterABase::_QelStConverter& block, unsigned int size);
// UCS-2 to the page of the converter's ReverseTable, the whole text at once; what does not
// fit stays in the source, with CPCONVERTER_TOO_BIG. The text written always ends in
// single-byte mode.
unsigned int convertByReverseTable(QelClConverterABase::_QelStConverter& block);

// Reads an EBCDIC double-byte text into UCS-2 from the shift state doubleByte, which it
// keeps up to date: shift-out 0E starts pairs, shift-in 0F single bytes. Stops at the
// source's end, before a pair the end cuts, or where the target (room bytes) is full
// (then full is set). Advances source; returns the bytes written.
unsigned int decodeShifted(const _QelStDBCSTable& table, const unsigned char*& source, const unsigned char* end,
                           char* target, unsigned int room, bool& doubleByte, bool& full);
// The strict check of an EBCDIC double-byte text from the shift state shiftedOut, which
// it keeps up to date. Returns the first fault with its offset in at (TRUNCATED for a
// pair the end cuts); a text that ends shifted out is no fault here. lastShiftOut gets
// the offset of the last shift-out it passed, and stays as it is when there is none.
QelEnTextFault checkShifted(const _QelStDBCSTable& table, const unsigned char* text, std::size_t size,
                            bool& shiftedOut, std::size_t& lastShiftOut, std::size_t& at);
// UCS-2 to UTF-8. The one-shot conversion writes U+FFFF for noncharacters and lone
// surrogates; faithful keeps noncharacters as they are.
unsigned int ucs2ToUtf8(QelClConverterABase::_QelStConverter& block, bool faithful);

}  // namespace qel::codepage

#endif
