// The stream converter's first step, a code page into UCS-2: the one-shot readers with
// what a piece's end cuts held back, the EBCDIC double-byte reader with its shift state,
// and ICU's converters; in strict modes each behind the strict check of its code page.
#include <cstring>

#include "codepage/conversion_support.h"
#include "codepage/icu_streams.h"
#include "codepage/stream_steps.h"
#include "memory/growing_buffer.h"
#include "memory/managed_object.h"

namespace {

using qel::codepage::StepFault;
using qel::codepage::StreamDecoder;

std::size_t utf8Length(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

// The code pages whose one-shot reading has no state: UCS-2, UTF-8, the single-byte
// tables and the ASCII-based double-byte tables. A character the end cuts stays in the
// source, so it is what the stream holds back.
class StatelessDecoder : public StreamDecoder {
public:
  enum class Form { UCS2_LITTLE, UCS2_BIG, UTF8, SINGLE_BYTE, PAIRS };

  StatelessDecoder(const QelClCCSID& source, Form form, bool strict)
      : clConverter(source), enForm(form), bStrict(strict), ulCCSID(qel::codepage::tableNumber(source.getCCSID())),
        bUndefinedBytes(form == Form::SINGLE_BYTE && hasUndefinedBytes(clConverter.getTable())) {}

  bool isPassThrough() const override { return enForm == Form::UCS2_LITTLE; }

  std::size_t decode(const char* source, std::size_t size, std::uint64_t base, bool last, char* units,
                     std::size_t& written, StepFault& fault) override {
    std::size_t valid = size;
    QelEnTextFault found = TEXTFAULT_NONE;
    if (bStrict) found = check(source, size, valid);
    if (found == TEXTFAULT_TRUNCATED && !last) found = TEXTFAULT_NONE;
    const char* at = source;
    if (units == nullptr) {
      at += valid & ~static_cast<std::size_t>(1);
      written = 0;
    } else {
      written = clConverter.convertBytes(units, static_cast<unsigned int>(2 * size + 16), &at,
                                         static_cast<unsigned int>(valid));
    }
    std::size_t consumed = static_cast<std::size_t>(at - source);
    if (found == TEXTFAULT_NONE && bUndefinedBytes && bStrict) {
      const std::size_t undefined = firstUndefined(units, written / 2);
      if (undefined < written / 2) {
        found = TEXTFAULT_UNDEFINED_CHARACTER;
        consumed = undefined;
        written = 2 * undefined;
      }
    }
    if (found == TEXTFAULT_NONE && last && consumed < size) found = TEXTFAULT_TRUNCATED;
    if (found != TEXTFAULT_NONE) fault = StepFault{found, base + consumed, 0, 0};
    pchLast = source;
    ulBase = base;
    return consumed;
  }

  std::uint64_t offsetOfUnit(std::size_t unit) override {
    switch (enForm) {
      case Form::SINGLE_BYTE: return ulBase + unit;
      case Form::UTF8: break;
      default: return ulBase + 2 * unit;  // UCS-2 units; pairs of the double-byte pages
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(pchLast);
    std::size_t at = 0;
    for (std::size_t units = 0; units < unit; at += utf8Length(bytes[at])) units += utf8Length(bytes[at]) == 4 ? 2u : 1u;
    return ulBase + at;
  }

  void reset() override {}

private:
  // The strict check: the fault, with valid set to its offset.
  QelEnTextFault check(const char* source, std::size_t size, std::size_t& valid) const {
    switch (enForm) {
      case Form::UTF8: return qelValidateUTF8(source, size, &valid);
      case Form::UCS2_LITTLE: return qelValidateUTF16(source, size, false, &valid);
      case Form::UCS2_BIG: return qelValidateUTF16(source, size, true, &valid);
      case Form::PAIRS: return qelValidateDBCS(ulCCSID, source, size, &valid);
      case Form::SINGLE_BYTE: break;
    }
    return TEXTFAULT_NONE;
  }

  // Whether a single-byte table leaves a byte without a character (U+FFFD).
  static bool hasUndefinedBytes(const void* table) {
    const auto* values = static_cast<const unsigned char*>(table);
    for (unsigned int b = 0; b < 256; ++b) {
      if (values[2 * b] == 0xFF && values[2 * b + 1] == 0xFD) return true;
    }
    return false;
  }

  // The first unit that a byte without a character became (U+FFFD), or count.
  static std::size_t firstUndefined(const char* units, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      if (static_cast<unsigned char>(units[2 * i]) == 0xFD && static_cast<unsigned char>(units[2 * i + 1]) == 0xFF)
        return i;
    }
    return count;
  }

  QelClCodePage2UnicodeConverter clConverter;
  Form enForm;
  bool bStrict;
  std::uint32_t ulCCSID;
  bool bUndefinedBytes;
  const char* pchLast = nullptr;
  std::uint64_t ulBase = 0;
};

// The EBCDIC double-byte pages: the shift state goes from one piece to the next.
class ShiftedDecoder : public StreamDecoder {
public:
  ShiftedDecoder(const _QelStDBCSTable& table, bool strict) : rTable(table), bStrict(strict) {}

  std::size_t decode(const char* source, std::size_t size, std::uint64_t base, bool last, char* units,
                     std::size_t& written, StepFault& fault) override {
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    pucLast = bytes;
    ulBase = base;
    bStartShifted = bShiftedOut;
    std::size_t valid = size;
    QelEnTextFault found = TEXTFAULT_NONE;
    std::uint64_t faultAt = 0;
    if (bStrict) {
      bool shifted = bShiftedOut;
      std::size_t shiftOut = size;
      found = qel::codepage::checkShifted(rTable, bytes, size, shifted, shiftOut, valid);
      if (shiftOut < size) ulLastShiftOut = base + shiftOut;
      if (found == TEXTFAULT_TRUNCATED && !last) found = TEXTFAULT_NONE;
      faultAt = base + valid;
      if (found == TEXTFAULT_NONE && last && shifted) {
        found = TEXTFAULT_ENDS_SHIFTED_OUT;
        faultAt = ulLastShiftOut;
      }
    }
    const unsigned char* at = bytes;
    bool full = false;
    written = qel::codepage::decodeShifted(rTable, at, bytes + valid, units, static_cast<unsigned int>(2 * size + 16),
                                           bShiftedOut, full);
    const std::size_t consumed = static_cast<std::size_t>(at - bytes);
    if (found == TEXTFAULT_NONE && last && consumed < size) {
      found = TEXTFAULT_TRUNCATED;
      faultAt = base + consumed;
    }
    if (found != TEXTFAULT_NONE) fault = StepFault{found, faultAt, 0, 0};
    return consumed;
  }

  // Shift codes make no unit; a single byte makes one, a pair one.
  std::uint64_t offsetOfUnit(std::size_t unit) override {
    bool shifted = bStartShifted;
    std::size_t at = 0;
    for (std::size_t units = 0;; ++units) {
      for (; pucLast[at] == 0x0E || pucLast[at] == 0x0F; ++at) shifted = pucLast[at] == 0x0E;
      if (units == unit) return ulBase + at;
      at += shifted ? 2 : 1;
    }
  }

  void reset() override {
    bShiftedOut = false;
    ulLastShiftOut = 0;
  }

private:
  const _QelStDBCSTable& rTable;
  bool bStrict;
  bool bShiftedOut = false;
  bool bStartShifted = false;
  std::uint64_t ulLastShiftOut = 0;
  const unsigned char* pucLast = nullptr;
  std::uint64_t ulBase = 0;
};

// ICU keeps a cut character and its own state; strict modes make it stop at faults.
class IcuDecoder : public StreamDecoder {
public:
  IcuDecoder(const QelClCCSID& source, bool strict) : clConverter(source), bStrict(strict) {
    if (strict && isUsable()) qel::codepage::icuStopAtFaults(clConverter.getTable(), false);
  }

  bool isUsable() const { return clConverter.requiresExternalICUData(); }

  std::size_t decode(const char* source, std::size_t size, std::uint64_t base, bool last, char* units,
                     std::size_t& written, StepFault& fault) override {
    const void* icu = clConverter.getTable();
    ulBase = base;
    ulPending = qel::codepage::icuPendingBytes(icu);
    std::int32_t* offsets = nullptr;
    if (bStrict) offsets = reinterpret_cast<std::int32_t*>(clOffsets.reserve(4 * (2 * size + 8)));
    const qel::codepage::IcuStep step =
        qel::codepage::icuToUnicode(icu, source, size, units, 4 * size + 16, last, offsets);
    written = step.written;
    if (step.fault != TEXTFAULT_NONE) {
      fault = StepFault{step.fault, base + step.consumed - step.faultLength, 0, 0};
    }
    return step.consumed;
  }

  std::uint64_t offsetOfUnit(std::size_t unit) override {
    const std::int32_t offset = reinterpret_cast<const std::int32_t*>(clOffsets.data())[unit];
    return offset < 0 ? ulBase - ulPending : ulBase + static_cast<std::uint64_t>(offset);
  }

  void reset() override { qel::codepage::icuReset(clConverter.getTable()); }

private:
  QelClCodePage2UnicodeConverter clConverter;
  bool bStrict;
  qel::memory::GrowingBuffer clOffsets;
  std::uint64_t ulBase = 0;
  std::size_t ulPending = 0;
};

}  // namespace

qel::codepage::StreamDecoder* qel::codepage::makeStreamDecoder(const QelClCCSID& source, QelEnConversionMode mode) {
  const bool strict = mode != CONVERSION_LENIENT;
  const std::uint32_t number = source.getCCSID();
  using Form = StatelessDecoder::Form;
  if (source.isUCS2() && number != CCSID_GB18030) {
    return memory::construct<StatelessDecoder>(source, source.isUCS2BigEndian() ? Form::UCS2_BIG : Form::UCS2_LITTLE,
                                               strict);
  }
  if (number == CCSID_UTF8) return memory::construct<StatelessDecoder>(source, Form::UTF8, strict);
  if (qelGetSBCStoUCS2Table(tableNumber(number)) != nullptr) {
    return memory::construct<StatelessDecoder>(source, Form::SINGLE_BYTE, strict);
  }
  bool ebcdic = false;
  if (const _QelStDBCSTable* table = qelGetDBCStoUCS2Table(tableNumber(number), ebcdic)) {
    if (ebcdic) return memory::construct<ShiftedDecoder>(*table, strict);
    return memory::construct<StatelessDecoder>(source, Form::PAIRS, strict);
  }
  StreamDecoder* icu = memory::construct<IcuDecoder>(source, strict);
  if (!static_cast<IcuDecoder*>(icu)->isUsable()) memory::destroy(icu);
  return icu;
}
