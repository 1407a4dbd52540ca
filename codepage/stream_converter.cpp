// The stream converter: pieces of a stream through a decoder into UCS-2 and an encoder
// out of it, in batches, with what a piece's end cuts carried over to the next piece.
#include <algorithm>
#include <cstring>

#include "codepage/stream_steps.h"
#include "memory/growing_buffer.h"
#include "memory/managed_object.h"
#include "qel_codepage.h"

namespace {

constexpr std::size_t kBatch = 64 * 1024;  // source bytes converted at once
constexpr std::size_t kHead = 32;          // room to join a carried character with its rest

bool isHighSurrogate(const char* unit) {
  const auto high = static_cast<unsigned char>(unit[1]);
  return high >= 0xD8 && high <= 0xDB;
}

}  // namespace

class QelClStreamConverter::Implementation {
public:
  Implementation(const QelClCCSID& source, const QelClCCSID& target, QelEnConversionMode mode)
      : clSource(source), clTarget(target), enMode(mode), bCopy(source == target.getCCSID()) {
    if (bCopy && mode == CONVERSION_LENIENT) return;  // the one-shot converter copies
    pclDecoder = qel::codepage::makeStreamDecoder(source, mode);
    if (!bCopy) pclEncoder = qel::codepage::makeStreamEncoder(target, mode);
  }

  ~Implementation() {
    qel::memory::destroy(pclDecoder);
    qel::memory::destroy(pclEncoder);
  }
  Implementation(const Implementation&) = delete;
  Implementation& operator=(const Implementation&) = delete;

  bool isSupported() const {
    if (bCopy) return enMode == CONVERSION_LENIENT || pclDecoder != nullptr;
    return pclDecoder != nullptr && pclEncoder != nullptr;
  }

  bool convert(const char* piece, std::size_t size, bool last) {
    clOutput.clear();
    if (stError.ulErrorId != 0) return false;
    if (!isSupported()) return fail(CPCONVERTER_UNSUPPORTED, QelEnErrorClass::INCONSISTENT_SITUATION);
    const std::uint64_t start = ulStreamSize;
    ulStreamSize += size;
    if (pclDecoder == nullptr) {  // a lenient copy
      clOutput.append(piece, size);
      return true;
    }
    std::size_t at = 0;
    bool lastDone = false;
    // A carried character first, joined with the start of the piece.
    while (clCarry.size() != 0 && (at < size || (last && !lastDone))) {
      const std::size_t carried = clCarry.size();
      const std::size_t take = std::min(size - at, kHead - carried);
      clCarry.append(piece + at, take);
      const bool headLast = last && at + take == size;
      const std::size_t consumed = runBatch(clCarry.data(), clCarry.size(), ulCarryBase, headLast);
      lastDone = headLast;
      if (stError.ulErrorId != 0) return false;
      if (consumed >= carried) {
        at += consumed - carried;
        clCarry.clear();
      } else {
        clCarry.dropFront(consumed);
        ulCarryBase += consumed;
        at += take;
        if (take == 0) break;
      }
    }
    while (at < size || (last && !lastDone)) {
      const std::size_t count = std::min(size - at, kBatch);
      const bool batchLast = last && at + count == size;
      const std::size_t consumed = runBatch(piece + at, count, start + at, batchLast);
      lastDone = batchLast;
      if (stError.ulErrorId != 0) return false;
      if (consumed < count && at + count == size) {  // a character the piece's end cuts
        clCarry.append(piece + at + consumed, count - consumed);
        ulCarryBase = start + at + consumed;
        break;
      }
      at += consumed;
      if (consumed == 0 && count != 0) break;
    }
    return true;
  }

  void reset() {
    if (pclDecoder != nullptr) pclDecoder->reset();
    if (pclEncoder != nullptr) pclEncoder->reset();
    clCarry.clear();
    clHeld.clear();
    clOutput.clear();
    ulStreamSize = 0;
    stError = _QelStError{0, QelEnErrorClass(0)};
    enFault = TEXTFAULT_NONE;
    ulFaultOffset = 0;
    ulFaultCharacter = 0;
  }

  QelClCCSID clSource;
  QelClCCSID clTarget;
  QelEnConversionMode enMode;
  qel::memory::GrowingBuffer clOutput;
  _QelStError stError{0, QelEnErrorClass(0)};
  QelEnTextFault enFault = TEXTFAULT_NONE;
  std::uint64_t ulFaultOffset = 0;
  std::uint32_t ulFaultCharacter = 0;
  std::uint64_t ulStreamSize = 0;

private:
  // Decodes source and encodes what came of it; returns the source bytes consumed. A
  // UCS-2 source in host order is encoded where it is, and a UCS-2 target in host order
  // is decoded into the output.
  std::size_t runBatch(const char* source, std::size_t size, std::uint64_t base, bool last) {
    qel::codepage::StepFault fault;
    std::size_t written = 0;
    std::size_t consumed = 0;
    const std::size_t held = clHeld.size() / 2;
    if (bCopy) {
      consumed = pclDecoder->decode(source, size, base, last, clUnits.reserve(4 * size + 16), written, fault);
      clOutput.append(source, consumed);
    } else if (pclEncoder->isPassThrough()) {
      consumed = pclDecoder->decode(source, size, base, last, clOutput.reserve(4 * size + 16), written, fault);
      clOutput.grow(written);
    } else if (pclDecoder->isPassThrough() && held == 0) {
      consumed = pclDecoder->decode(source, size, base, last, nullptr, written, fault);
      if (!encode(source, consumed / 2, 0, last || fault.fault != TEXTFAULT_NONE)) return consumed;
    } else {
      clUnits.clear();
      clUnits.append(clHeld.data(), clHeld.size());
      clHeld.clear();
      consumed = pclDecoder->decode(source, size, base, last, clUnits.reserve(4 * size + 16), written, fault);
      if (pclDecoder->isPassThrough()) {
        clUnits.append(source, consumed);
      } else {
        clUnits.grow(written);
      }
      if (!encode(clUnits.data(), clUnits.size() / 2, held, last || fault.fault != TEXTFAULT_NONE)) return consumed;
    }
    if (fault.fault != TEXTFAULT_NONE) {
      const bool cut = fault.fault == TEXTFAULT_TRUNCATED;
      setFault(fault.fault, fault.offset, 0, cut ? CPCONVERTER_INCOMPLETE : CPCONVERTER_INVALID_SEQ);
    }
    return consumed;
  }

  // Encodes count units, the first held of them held from the batch before; a high
  // surrogate at their end waits for its partner unless last. False when the target
  // lacks a character.
  bool encode(const char* units, std::size_t count, std::size_t held, bool last) {
    if (!last && count != 0 && isHighSurrogate(units + 2 * (count - 1))) {
      if (enMode == CONVERSION_STRICT) ulHeldOffset = unitOffset(count - 1, held);
      clHeld.append(units + 2 * (count - 1), 2);
      --count;
    }
    std::size_t done = 0;
    while (done < count || (last && done == count)) {
      const std::size_t remaining = count - done;
      char* target = clOutput.reserve(pclEncoder->getBytesPerUnit() * remaining + 8);
      std::size_t written = 0;
      qel::codepage::StepFault fault;
      const std::size_t encoded = pclEncoder->encode(units + 2 * done, remaining, last, target, written, fault);
      clOutput.grow(written);
      done += encoded;
      if (fault.fault != TEXTFAULT_NONE) {
        setFault(fault.fault, unitOffset(done - encoded + fault.unit, held), fault.character, CPCONVERTER_INVALID_SEQ);
        return false;
      }
      if (encoded == 0 && (remaining == 0 || written == 0)) break;
    }
    return true;
  }

  // The stream offset of unit index of the units, the held ones first.
  std::uint64_t unitOffset(std::size_t index, std::size_t held) {
    return index < held ? ulHeldOffset : pclDecoder->offsetOfUnit(index - held);
  }

  bool fail(std::uint32_t id, QelEnErrorClass errorClass) {
    stError = _QelStError{id, errorClass};
    return false;
  }

  void setFault(QelEnTextFault fault, std::uint64_t offset, std::uint32_t character, std::uint32_t id) {
    enFault = fault;
    ulFaultOffset = offset;
    ulFaultCharacter = character;
    stError = _QelStError{id, QelEnErrorClass::USER_DATA_ERROR};
  }

  bool bCopy;
  qel::codepage::StreamDecoder* pclDecoder = nullptr;
  qel::codepage::StreamEncoder* pclEncoder = nullptr;
  qel::memory::GrowingBuffer clUnits;
  qel::memory::GrowingBuffer clHeld;
  std::uint64_t ulHeldOffset = 0;
  qel::memory::GrowingBuffer clCarry;
  std::uint64_t ulCarryBase = 0;
};

QelClStreamConverter::QelClStreamConverter(const QelClCCSID& source, const QelClCCSID& target,
                                           QelEnConversionMode mode)
    : pclImplementation(qel::memory::construct<Implementation>(source, target, mode)) {}

QelClStreamConverter::~QelClStreamConverter() { qel::memory::destroy(pclImplementation); }

bool QelClStreamConverter::isSupported() const { return pclImplementation->isSupported(); }
const QelClCCSID& QelClStreamConverter::getSourceCCSID() const { return pclImplementation->clSource; }
const QelClCCSID& QelClStreamConverter::getTargetCCSID() const { return pclImplementation->clTarget; }
QelEnConversionMode QelClStreamConverter::getMode() const { return pclImplementation->enMode; }

bool QelClStreamConverter::convert(const char* piece, std::size_t size, bool isLast) {
  return pclImplementation->convert(piece, size, isLast);
}

const char* QelClStreamConverter::getOutput() const { return pclImplementation->clOutput.data(); }
std::size_t QelClStreamConverter::getOutputSize() const { return pclImplementation->clOutput.size(); }
QelEnTextFault QelClStreamConverter::getFault() const { return pclImplementation->enFault; }
std::uint64_t QelClStreamConverter::getFaultOffset() const { return pclImplementation->ulFaultOffset; }
std::uint32_t QelClStreamConverter::getFaultCharacter() const { return pclImplementation->ulFaultCharacter; }
std::uint64_t QelClStreamConverter::getStreamSize() const { return pclImplementation->ulStreamSize; }
const _QelStError& QelClStreamConverter::getError() const { return pclImplementation->stError; }
void QelClStreamConverter::reset() { pclImplementation->reset(); }
