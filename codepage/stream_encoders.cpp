// The stream converter's second step, UCS-2 into the target: the one-shot writers where
// a character converts alone, ICU's converters with their state, and the built-in tables
// from UCS-2 with their shift state; in strict mode a character the target lacks stops
// the stream.
#include "codepage/conversion_support.h"
#include "codepage/icu_streams.h"
#include "codepage/reverse_tables.h"
#include "codepage/stream_steps.h"
#include "memory/managed_object.h"

namespace {

using qel::codepage::StepFault;
using qel::codepage::StreamEncoder;
using Block = QelClConverterABase::_QelStConverter;

// UCS-2, UTF-8 and the targets whose one-shot conversion writes each character alone.
// Strict UTF-8 keeps noncharacters as they are.
class OneShotEncoder : public StreamEncoder {
public:
  OneShotEncoder(const QelClCCSID& target, bool faithfulUtf8) : clStep(target), bFaithful(faithfulUtf8) {}

  bool isUsable() const { return clStep.isSupported(); }
  bool isPassThrough() const override { return clStep.getTargetCCSID().isUCS2HostEndian(); }

  std::size_t getBytesPerUnit() const override {
    const QelClCCSID& target = clStep.getTargetCCSID();
    if (target.getCCSID() == CCSID_UTF8) return 3;
    if (target.isSBCS()) return 1;
    return target.isUCS2() || target.isDBCS() ? 2 : 4;
  }

  std::size_t encode(const char* units, std::size_t count, bool, char* target, std::size_t& written,
                     StepFault&) override {
    const char* at = units;
    const auto room = static_cast<unsigned int>(getBytesPerUnit() * count + 8);
    if (bFaithful) {
      Block block{&clStep, target, room, &at, static_cast<unsigned int>(2 * count)};
      written = qel::codepage::ucs2ToUtf8(block, true);
    } else {
      written = clStep.convertBytes(target, room, &at, static_cast<unsigned int>(2 * count));
    }
    return static_cast<std::size_t>(at - units) / 2;
  }

  void reset() override {}

private:
  QelClUnicode2CodePageConverter clStep;
  bool bFaithful;
};

// ICU's converter for the target; strict mode stops at a character the target lacks,
// the other modes write ICU's substitution character.
class IcuEncoder : public StreamEncoder {
public:
  IcuEncoder(const QelClCCSID& target, bool strict) : clStep(target) {
    if (isUsable()) qel::codepage::icuStopAtFaults(clStep.getTable(), strict);
  }

  bool isUsable() const { return clStep.requiresExternalICUData(); }

  std::size_t getBytesPerUnit() const override { return 4; }

  std::size_t encode(const char* units, std::size_t count, bool last, char* target, std::size_t& written,
                     StepFault& fault) override {
    const qel::codepage::IcuStep step =
        qel::codepage::icuFromUnicode(clStep.getTable(), units, count, target, 4 * count + 8, last);
    written = step.written;
    if (step.fault != TEXTFAULT_NONE) {
      fault.fault = step.fault;
      fault.unit = step.consumed - step.faultLength;
      fault.character = step.character;
    }
    return step.consumed;
  }

  void reset() override { qel::codepage::icuReset(clStep.getTable()); }

private:
  QelClUnicode2CodePageConverter clStep;
};

// The built-in tables from UCS-2: strict mode stops at a character the page lacks, the
// other modes write its substitution. What was written before a fault ends shifted in.
class TableEncoder : public StreamEncoder {
public:
  TableEncoder(const qel::codepage::ReverseTable& table, bool strict)
      : pstTable(&table), clEncoder(table), bStrict(strict) {}

  std::size_t getBytesPerUnit() const override { return 3; }  // a pair and the shift code before it

  std::size_t encode(const char* units, std::size_t count, bool last, char* target, std::size_t& written,
                     StepFault& fault) override {
    // The units end with a whole character: the stream holds back a high surrogate that
    // may have its partner in the next piece, so one at their end is alone.
    const std::size_t room = getBytesPerUnit() * count + 8;
    const std::size_t consumed = clEncoder.encode(units, count, target, room, written, bStrict, true);
    if (consumed < count) {  // the room always suffices: a character the page lacks
      const auto unit = [units](std::size_t index) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(units[2 * index]) |
                                          static_cast<unsigned char>(units[2 * index + 1]) << 8);
      };
      const std::uint32_t first = unit(consumed);
      const std::uint32_t second = consumed + 1 < count ? unit(consumed + 1) : 0;
      const bool pair = first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
      fault.fault = TEXTFAULT_UNMAPPABLE;
      fault.unit = consumed;
      fault.character = pair ? 0x10000 + ((first - 0xD800u) << 10) + (second - 0xDC00u) : first;
    }
    if (last || consumed < count) written += clEncoder.finish(target + written, room - written);
    return consumed;
  }

  void reset() override { clEncoder = qel::codepage::ReverseEncoder(*pstTable); }

private:
  const qel::codepage::ReverseTable* pstTable;
  qel::codepage::ReverseEncoder clEncoder;
  bool bStrict;
};

}  // namespace

qel::codepage::StreamEncoder* qel::codepage::makeStreamEncoder(const QelClCCSID& target, QelEnConversionMode mode) {
  const std::uint32_t number = target.getCCSID();
  const bool faithful = number == CCSID_UTF8 && mode != CONVERSION_LENIENT;
  if ((target.isUCS2() && number != CCSID_GB18030) || number == CCSID_UTF8) {
    return memory::construct<OneShotEncoder>(target, faithful);
  }
  // Strict and substituting streams write through the built-in tables where the page has
  // them, so that they stop, or substitute, alike on every build.
  const ReverseTable* table = findReverseTable(tableNumber(number));
  if (table != nullptr && mode != CONVERSION_LENIENT) {
    return memory::construct<TableEncoder>(*table, mode == CONVERSION_STRICT);
  }
  StreamEncoder* icu = memory::construct<IcuEncoder>(target, mode == CONVERSION_STRICT);
  if (static_cast<IcuEncoder*>(icu)->isUsable()) return icu;
  memory::destroy(icu);
  // Lenient streams write what the one-shot converters write: 500 and 850 through their
  // own tables, 819 by its algorithm, the other built-in pages through the tables.
  if (table != nullptr && number != 500 && number != 850 && number != CCSID_ISO8859_1) {
    return memory::construct<TableEncoder>(*table, false);
  }
  // The platform's call says nothing of the characters it replaces: strict streams don't use it.
  if (mode == CONVERSION_STRICT) return nullptr;
  StreamEncoder* alone = memory::construct<OneShotEncoder>(target, false);
  if (!static_cast<OneShotEncoder*>(alone)->isUsable()) memory::destroy(alone);
  return alone;
}
