// The stream converter's second step, UCS-2 into the target: the one-shot writers where
// a character converts alone, and ICU's converters with their state; in strict mode a
// character the target lacks stops the stream.
#include "codepage/conversion_support.h"
#include "codepage/icu_streams.h"
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

}  // namespace

qel::codepage::StreamEncoder* qel::codepage::makeStreamEncoder(const QelClCCSID& target, QelEnConversionMode mode) {
  const std::uint32_t number = target.getCCSID();
  const bool faithful = number == CCSID_UTF8 && mode != CONVERSION_LENIENT;
  if ((target.isUCS2() && number != CCSID_GB18030) || number == CCSID_UTF8) {
    return memory::construct<OneShotEncoder>(target, faithful);
  }
  StreamEncoder* icu = memory::construct<IcuEncoder>(target, mode == CONVERSION_STRICT);
  if (static_cast<IcuEncoder*>(icu)->isUsable()) return icu;
  memory::destroy(icu);
  StreamEncoder* alone = memory::construct<OneShotEncoder>(target, false);
  if (!static_cast<OneShotEncoder*>(alone)->isUsable()) memory::destroy(alone);
  return alone;
}
