// The double-byte tables to UCS-2: ASCII-based pages read pair by pair, EBCDIC pages
// with the shift codes 0E (into double-byte mode) and 0F (back to single bytes). A pair
// cut off at the source's end stays in the source, with CPCONVERTER_INCOMPLETE; what does
// not fit the target stays there too, with CPCONVERTER_TOO_BIG.
#include "codepage/conversion_support.h"
#include "qel_codepage.h"

using Block = QelClConverterABase::_QelStConverter;

namespace {

constexpr unsigned char kShiftOut = 0x0E, kShiftIn = 0x0F;

class PageReader {
public:
  explicit PageReader(const _QelStDBCSTable& table) : table_(table) {}
  // The value of byte second in the page that byte first selects; page 1 for a single byte.
  std::uint32_t pair(unsigned char first, unsigned char second) const {
    return at(table_.aucPageNumbers[first] - 1u, second);
  }
  std::uint32_t single(unsigned char byte) const { return at(1, byte); }

private:
  std::uint32_t at(unsigned int page, unsigned char index) const {
    const unsigned char* value = table_.pucPages + 512u * page + 2u * index;
    return static_cast<std::uint32_t>(value[0] << 8 | value[1]);
  }
  const _QelStDBCSTable& table_;
};

const _QelStDBCSTable& tableOf(const Block& block) {
  return *static_cast<const _QelStDBCSTable*>(block.pclConverter->getTable());
}

void incomplete(Block& block) {
  block.pclConverter->setError(CPCONVERTER_INCOMPLETE, QelEnErrorClass::USER_DATA_ERROR);
}

// Writes one unit low byte first, or records CPCONVERTER_TOO_BIG when it does not fit.
bool put(Block& block, unsigned int& written, std::uint32_t unit) {
  if (block.uiTargetSize - written < 2) {
    block.pclConverter->setError(CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS);
    return false;
  }
  block.pchTarget[written] = static_cast<char>(unit & 0xFF);
  block.pchTarget[written + 1] = static_cast<char>(unit >> 8);
  written += 2;
  return true;
}

}  // namespace

unsigned int qelConvertByTablesDBCS_ASCIItoUCS2(Block& block) {
  const _QelStDBCSTable& table = tableOf(block);
  const PageReader pages(table);
  const auto* source = reinterpret_cast<const unsigned char*>(*block.ppchSource);
  const unsigned char* const end = source + block.uiSourceSize;
  unsigned int written = 0;
  while (source < end) {
    const bool lead = table.pucLeadBytes[*source] != 0;
    if (lead && end - source < 2) {
      incomplete(block);
      break;
    }
    if (!put(block, written, lead ? pages.pair(source[0], source[1]) : pages.single(source[0]))) break;
    source += lead ? 2 : 1;
  }
  *block.ppchSource = reinterpret_cast<const char*>(source);
  return written;
}

// Runs of single bytes and of pairs are converted in loops of their own, each ending at
// a shift code, at the source's end or where the target is full.
unsigned int qel::codepage::decodeShifted(const _QelStDBCSTable& table, const unsigned char*& source,
                                          const unsigned char* end, char* target, unsigned int room,
                                          bool& doubleByte, bool& full) {
  const PageReader pages(table);
  auto* const out = reinterpret_cast<unsigned char*>(target);
  room = room / 2 * 2;
  unsigned int written = 0;
  const auto store = [&](std::uint32_t unit) {
    if (unit == 0x85) unit = 0x0A;
    out[written] = static_cast<unsigned char>(unit & 0xFF);
    out[written + 1] = static_cast<unsigned char>(unit >> 8);
    written += 2;
  };
  const auto isShift = [](unsigned char byte) { return byte == kShiftOut || byte == kShiftIn; };
  full = false;
  while (source < end && !full) {
    if (isShift(*source)) {
      doubleByte = *source++ == kShiftOut;
      continue;
    }
    if (doubleByte) {
      if (end - source < 2) break;
      for (; end - source >= 2 && !isShift(*source) && written < room; source += 2)
        store(pages.pair(source[0], source[1]));
      full = end - source >= 2 && !isShift(*source);
    } else {
      for (; source < end && !isShift(*source) && written < room; ++source) store(pages.single(*source));
      full = source < end && !isShift(*source);
    }
  }
  return written;
}

unsigned int qelConvertByTablesDBCS_EBCDICtoUCS2(Block& block) {
  const auto* source = reinterpret_cast<const unsigned char*>(*block.ppchSource);
  bool doubleByte = false;
  bool full = false;
  const unsigned int written = qel::codepage::decodeShifted(tableOf(block), source, source + block.uiSourceSize,
                                                            block.pchTarget, block.uiTargetSize, doubleByte, full);
  if (full) {
    block.pclConverter->setError(CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS);
  } else if (doubleByte) {
    incomplete(block);
  }
  *block.ppchSource = reinterpret_cast<const char*>(source);
  return written;
}

unsigned int qelConvertByTablesEUCtoUCS2(Block&) { return 0; }
