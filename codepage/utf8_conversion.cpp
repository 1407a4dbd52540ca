// UTF-8 to UCS-2 and back, by algorithm. The lead byte alone gives a sequence's length
// (the 5- and 6-byte forms included); values beyond U+FFFF become surrogate pairs.
#include <algorithm>

#include "codepage/ascii_runs.h"
#include "codepage/conversion_support.h"
#include "qel_codepage.h"

using Block = QelClConverterABase::_QelStConverter;

namespace {

void tooBig(Block& block) { block.pclConverter->setError(CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS); }

void putUnit(char* at, std::uint32_t unit) {
  at[0] = static_cast<char>(unit & 0xFF);
  at[1] = static_cast<char>(unit >> 8 & 0xFF);
}

unsigned int followingBytes(unsigned char lead) {
  if (lead < 0xC0) return 0;
  if (lead < 0xE0) return 1;
  if (lead < 0xF0) return 2;
  if (lead < 0xF8) return 3;
  if (lead < 0xFC) return 4;
  return 5;
}

constexpr std::uint32_t kOffsets[6] = {0, 0x3080, 0xE2080, 0x3C82080, 0xFA082080, 0x82082080};

}  // namespace

unsigned int qelConvertByAlgorithmUTF8toUCS2(Block& block) {
  const auto* source = reinterpret_cast<const unsigned char*>(*block.ppchSource);
  const unsigned char* const end = source + block.uiSourceSize;
  unsigned int written = 0;
  while (source < end) {
    if (*source < 0x80) {
      const std::size_t room = (block.uiTargetSize - written) / 2;
      const std::size_t ascii =
          qel::codepage::widenAscii(source, std::min(static_cast<std::size_t>(end - source), room), block.pchTarget + written);
      source += ascii;
      written += 2 * static_cast<unsigned int>(ascii);
      if (source == end) break;
    }
    const unsigned int following = followingBytes(*source);
    if (following >= static_cast<unsigned int>(end - source)) {
      block.pclConverter->setError(CPCONVERTER_INCOMPLETE, QelEnErrorClass::USER_DATA_ERROR);
      break;
    }
    std::uint32_t value = 0;
    for (unsigned int i = 0; i <= following; ++i) value = value * 64 + *source++;
    value -= kOffsets[following];
    if (block.uiTargetSize - written < 2) {
      tooBig(block);
      break;
    }
    if (value <= 0xFFFF) {
      putUnit(block.pchTarget + written, value);
      written += 2;
    } else if (value <= 0x7FFFFFFF) {
      if (block.uiTargetSize - written < 4) {
        tooBig(block);
        break;
      }
      const std::uint32_t v = value - 0x10000;
      putUnit(block.pchTarget + written, (0xD800 + (v >> 10)) & 0xFFFF);
      putUnit(block.pchTarget + written + 2, (0xDC00 + (v & 0x3FF)) & 0xFFFF);
      written += 4;
    } else {
      putUnit(block.pchTarget + written, 0xFFFD);
      written += 2;
    }
  }
  *block.ppchSource = reinterpret_cast<const char*>(source);
  return written & ~1u;
}

unsigned int qelConvertByAlgorithmUCS2toUTF8(Block& block) { return qel::codepage::ucs2ToUtf8(block, false); }

unsigned int qel::codepage::ucs2ToUtf8(Block& block, bool faithful) {
  const unsigned int units = qel::codepage::evenSize(block, block.uiSourceSize) / 2;
  const auto* source = reinterpret_cast<const unsigned char*>(*block.ppchSource);
  const auto unitAt = [source](unsigned int i) { return static_cast<std::uint32_t>(source[2 * i] | source[2 * i + 1] << 8); };
  auto* target = reinterpret_cast<unsigned char*>(block.pchTarget);
  unsigned int written = 0;
  unsigned int i = 0;
  while (i < units) {
    if (source[2 * i] < 0x80 && source[2 * i + 1] == 0) {
      const std::size_t ascii = qel::codepage::narrowAscii(
          source + 2 * i, std::min<std::size_t>(units - i, block.uiTargetSize - written), target + written);
      i += static_cast<unsigned int>(ascii);
      written += static_cast<unsigned int>(ascii);
      if (i == units) break;
    }
    std::uint32_t point = unitAt(i);
    unsigned int consumed = 1;
    if (point >= 0xD800 && point <= 0xDBFF && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF) {
      point = 0x10000 + ((point - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00);
      consumed = 2;
    } else if ((point >= 0xD800 && point <= 0xDFFF) ||
               (!faithful && (point >= 0xFFFE || (point >= 0xFDD0 && point <= 0xFDEF)))) {
      point = 0xFFFF;
    }
    const unsigned int length = point < 0x80 ? 1 : point < 0x800 ? 2 : point <= 0xFFFF ? 3 : 4;
    i += consumed;
    if (length > block.uiTargetSize - written) {
      tooBig(block);
      break;
    }
    unsigned char* out = target + written;
    switch (length) {
      case 1: out[0] = static_cast<unsigned char>(point); break;
      case 2:
        out[0] = static_cast<unsigned char>(0xC0 | point >> 6);
        out[1] = static_cast<unsigned char>(0x80 | (point & 0x3F));
        break;
      case 3:
        out[0] = static_cast<unsigned char>(0xE0 | point >> 12);
        out[1] = static_cast<unsigned char>(0x80 | (point >> 6 & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (point & 0x3F));
        break;
      default:
        out[0] = static_cast<unsigned char>(0xF0 | point >> 18);
        out[1] = static_cast<unsigned char>(0x80 | (point >> 12 & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (point >> 6 & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (point & 0x3F));
        break;
    }
    written += length;
  }
  *block.ppchSource += 2 * i;
  return written;
}
