// The conversion functions of copying, byte swapping, ISO 8859-1, the single-byte
// tables, the tables from UCS-2 into every built-in page and the platform's own call. UCS-2 is host order (little-endian) unless the CCSID says big-endian. None
// writes past the target: what does not fit stays in the source, with
// CPCONVERTER_TOO_BIG.
#include <cstdint>
#include <cstring>

#include "codepage/conversion_support.h"
#include "codepage/reverse_tables.h"
#include "platform/platform.h"
#include "qel_codepage.h"

using Block = QelClConverterABase::_QelStConverter;

unsigned int qel::codepage::fitting(Block& block, unsigned int count, unsigned int room) {
  if (count <= room) return count;
  block.pclConverter->setError(CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS);
  return room;
}

unsigned int qel::codepage::evenSize(Block& block, unsigned int size) {
  if (size % 2 != 0) block.pclConverter->setError(CPCONVERTER_INCOMPLETE, QelEnErrorClass::USER_DATA_ERROR);
  return size & ~1u;
}

unsigned int qelConvertError(Block& block) {
  block.pclConverter->setError(CPCONVERTER_UNSUPPORTED, QelEnErrorClass::INCONSISTENT_SITUATION);
  return 0;
}

unsigned int qelConvertByCopying(Block& block) {
  const unsigned int n = qel::codepage::evenSize(block, std::min(block.uiSourceSize, block.uiTargetSize));
  if (n != 0) std::memcpy(block.pchTarget, *block.ppchSource, n);
  *block.ppchSource += n;
  return n;
}

unsigned int qelConvertByEndianSwap(Block& block) {
  const unsigned int n = qel::codepage::evenSize(block, std::min(block.uiSourceSize, block.uiTargetSize));
  const char* source = *block.ppchSource;
  for (unsigned int i = 0; i < n; i += 2) {
    block.pchTarget[i] = source[i + 1];
    block.pchTarget[i + 1] = source[i];
  }
  *block.ppchSource += n;
  return n;
}

unsigned int qelConvertByAlgorithmUCS2to819(Block& block) {
  const unsigned int whole = qel::codepage::evenSize(block, block.uiSourceSize) / 2;
  const unsigned int units = qel::codepage::fitting(block, whole, block.uiTargetSize);
  const char* source = *block.ppchSource;
  for (unsigned int i = 0; i < units; ++i) block.pchTarget[i] = source[2 * i];  // the low byte
  *block.ppchSource += 2 * units;
  return units;
}

namespace {

// Every byte through the table, low byte first; EBCDIC's next line (U+0085) becomes a
// line feed. The table's values are first put in the target's byte order, so that the
// loop stores each unit with one move.
unsigned int singleByteToUcs2(Block& block, bool ebcdic) {
  const auto* table = static_cast<const unsigned char*>(block.pclConverter->getTable());
  std::uint16_t units[256];
  for (unsigned int b = 0; b < 256; ++b) {
    const unsigned char high = table[2 * b], low = table[2 * b + 1];
    const bool nextLine = ebcdic && high == 0 && low == 0x85;
    const unsigned char bytes[2] = {nextLine ? static_cast<unsigned char>(0x0A) : low, high};
    std::memcpy(&units[b], bytes, sizeof bytes);
  }
  const auto* source = reinterpret_cast<const unsigned char*>(*block.ppchSource);
  const unsigned int count = qel::codepage::fitting(block, block.uiSourceSize, block.uiTargetSize / 2);
  char* const target = block.pchTarget;
  // Eight bytes at a time: one load of the source, two stores of four units each.
  unsigned int i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint16_t eight[8];
    for (unsigned int k = 0; k < 8; ++k) eight[k] = units[source[i + k]];
    std::memcpy(target + 2 * i, eight, sizeof eight);
  }
  for (; i < count; ++i) std::memcpy(target + 2 * i, &units[source[i]], sizeof units[0]);
  *block.ppchSource += count;
  return 2 * count;
}

}  // namespace

unsigned int qelConvertByTablesSBCS_ASCIItoUCS2(Block& block) { return singleByteToUcs2(block, false); }

unsigned int qelConvertByTablesSBCS_EBCDICtoUCS2(Block& block) { return singleByteToUcs2(block, true); }

unsigned int qelConvertByTablesUCS2toSBCS(Block& block) {
  const auto* pages = static_cast<const unsigned char*>(block.pclConverter->getTable());
  const auto* source = reinterpret_cast<const unsigned char*>(*block.ppchSource);
  const unsigned int whole = qel::codepage::evenSize(block, block.uiSourceSize) / 2;
  const unsigned int units = qel::codepage::fitting(block, whole, block.uiTargetSize);
  for (unsigned int i = 0; i < units; ++i) {
    const unsigned char low = source[2 * i], high = source[2 * i + 1];
    block.pchTarget[i] = static_cast<char>(pages[256u * pages[high] + low]);
  }
  *block.ppchSource += 2 * units;
  return units;
}

unsigned int qel::codepage::convertByReverseTable(Block& block) {
  const auto& table = *static_cast<const ReverseTable*>(block.pclConverter->getTable());
  const std::size_t units = evenSize(block, block.uiSourceSize) / 2;
  std::size_t written = 0;
  bool open = false;  // the text written ends in double-byte mode, without its shift-in
  const auto encodeText = [&](std::size_t room) {
    ReverseEncoder encoder(table);
    const std::size_t consumed = encoder.encode(*block.ppchSource, units, block.pchTarget, room, written, false, true);
    written += encoder.finish(block.pchTarget + written, room - written);
    open = encoder.isShiftedOut();
    return consumed;
  };
  std::size_t consumed = encodeText(block.uiTargetSize);
  if (consumed < units || open) block.pclConverter->setError(CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS);
  // A text cut off in double-byte mode is encoded again with one byte kept for its shift-in.
  if (open) consumed = encodeText(block.uiTargetSize - 1u);
  *block.ppchSource += 2 * consumed;
  return static_cast<unsigned int>(written);
}

unsigned int qelConvertByWindowsCallUCS2ToWinCP(Block& block) {
  const unsigned int written =
      qel::platform::convertFromUcs2(block.pclConverter->getTargetCCSID().getCCSID(), *block.ppchSource,
                                     block.uiSourceSize / 2, block.pchTarget, block.uiTargetSize);
  if (written == 0) block.pclConverter->setError(CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS);
  return written;
}
