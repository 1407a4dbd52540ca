// The built-in conversion from UCS-2 into the single- and double-byte code pages that have
// a built-in table to UCS-2, and the encoder that writes a text through one of them.
#ifndef VRNQEL43_CODEPAGE_REVERSE_TABLES_H
#define VRNQEL43_CODEPAGE_REVERSE_TABLES_H

#include <cstddef>
#include <cstdint>

namespace qel::codepage {

struct ReverseTable;  // layout private to the implementation

// The built-in conversion from UCS-2 into a single- or double-byte page: every page that has a
// built-in table to UCS-2 (by the number whose tables a CCSID uses); null for any other.
const ReverseTable* findReverseTable(std::uint32_t ccsid);
// True when the page has a round trip or a fallback from Unicode for the unit.
bool hasMapping(const ReverseTable& table, std::uint16_t unit);

// Encodes UCS-2 (little-endian bytes) into the page, keeping the shift state of the EBCDIC
// double-byte pages from one call to the next. A character without mapping becomes the
// page's substitution: the byte the published mapping names for it (the single-byte
// substitution of the mixed pages), else the page's substitution character; a surrogate
// pair is one character, and so is a surrogate without its partner. A default ignorable
// code point without mapping (soft hyphen, zero-width joiner, ...) is left out, as ICU does.
class ReverseEncoder {
public:
  explicit ReverseEncoder(const ReverseTable& table);
  // Encodes up to count units from units into target (room bytes). Stops where the next
  // character (with the shift code it needs) does not fit, before a high surrogate that is
  // the last unit unless endOfText (its partner may come with the next call; at the end of
  // the text it is a character without mapping), or, when stopAtUnmappable, before the
  // first character without mapping. Returns the units consumed; written gets the bytes
  // written.
  std::size_t encode(const char* units, std::size_t count, char* target, std::size_t room,
                     std::size_t& written, bool stopAtUnmappable, bool endOfText = false);
  // Ends the text: the shift-in an EBCDIC double-byte page needs when the text ends in
  // double-byte mode. Returns the bytes written (0 or 1); with no room it writes nothing
  // and the encoder stays shifted out.
  std::size_t finish(char* target, std::size_t room);
  bool isShiftedOut() const { return bShiftedOut; }

private:
  std::size_t encodeMappedRun(const char* units, std::size_t at, std::size_t end, char* target,
                              std::size_t& written) const;

  const ReverseTable* pstTable;
  bool bShiftedOut;
};

}  // namespace qel::codepage

#endif
