// Conversion through ICU's converters, for the code pages without a built-in table or
// algorithm.
#include <unicode/ucnv.h>

#include "codepage/icu_streams.h"
#include "qel_codepage.h"

using Block = QelClConverterABase::_QelStConverter;

namespace {

UConverter* handleOf(const Block& block) {
  return static_cast<UConverter*>(const_cast<void*>(block.pclConverter->getTable()));
}

void recordStatus(const Block& block, UErrorCode status) {
  _QelStError error{0, QelEnErrorClass(0)};
  QelClIcuInterface::mapIcuError(error, status);
  block.pclConverter->setError(error.ulErrorId, error.enErrorClass);
}

}  // namespace

const void* qelGetICUConverter(unsigned int ccsid, _QelStError& error) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = nullptr;
  if (ccsid == 932 || ccsid == 942) {
    converter = ucnv_open("ibm-942_P12A-1999", &status);  // ICU's name for the P12A table
  } else if (ccsid == 943) {
    converter = ucnv_open("ibm-943_P15A-2003", &status);  // ICU's name for the P14A table's successor
  } else if (ccsid == 1392) {
    converter = ucnv_open("gb18030", &status);
  } else {
    converter = ucnv_openCCSID(static_cast<int32_t>(ccsid), UCNV_IBM, &status);
  }
  if (status > U_ZERO_ERROR) {
    if (converter != nullptr) ucnv_close(converter);
    QelClIcuInterface::mapIcuError(error, status);
    return nullptr;
  }
  ucnv_setFallback(converter, true);
  return converter;
}

void qelDeleteICUConverter(const void* converter) { ucnv_close(static_cast<UConverter*>(const_cast<void*>(converter))); }

unsigned int qelConvertByAlgorithmIcuToUnicode(Block& block) {
  auto* const start = reinterpret_cast<UChar*>(block.pchTarget);
  UChar* target = start;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(handleOf(block), &target, start + block.uiTargetSize / 2, block.ppchSource,
                 *block.ppchSource + block.uiSourceSize, nullptr, true, &status);
  recordStatus(block, status);
  return static_cast<unsigned int>(target - start) * 2;
}

unsigned int qelConvertByAlgorithmIcuFromUnicode(Block& block) {
  char* target = block.pchTarget;
  const auto* source = reinterpret_cast<const UChar*>(*block.ppchSource);
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(handleOf(block), &target, block.pchTarget + block.uiTargetSize, &source,
                   source + block.uiSourceSize / 2, nullptr, true, &status);
  *block.ppchSource = reinterpret_cast<const char*>(source);
  recordStatus(block, status);
  return static_cast<unsigned int>(target - block.pchTarget);
}

namespace {

UConverter* handle(const void* converter) { return static_cast<UConverter*>(const_cast<void*>(converter)); }

QelEnTextFault faultOf(UErrorCode status) {
  switch (status) {
    case U_INVALID_CHAR_FOUND: return TEXTFAULT_UNDEFINED_CHARACTER;
    case U_TRUNCATED_CHAR_FOUND: return TEXTFAULT_TRUNCATED;
    default: return TEXTFAULT_ILLEGAL_SEQUENCE;
  }
}

}  // namespace

void qel::codepage::icuStopAtFaults(const void* converter, bool unmappable) {
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setToUCallBack(handle(converter), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (unmappable) ucnv_setFromUCallBack(handle(converter), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
}

qel::codepage::IcuStep qel::codepage::icuToUnicode(const void* converter, const char* source, std::size_t size,
                                                   char* units, std::size_t room, bool flush, std::int32_t* offsets) {
  auto* const start = reinterpret_cast<UChar*>(units);
  UChar* target = start;
  const char* from = source;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(handle(converter), &target, start + room / 2, &from, source + size, offsets, flush, &status);
  IcuStep step;
  step.consumed = static_cast<std::size_t>(from - source);
  step.written = static_cast<std::size_t>(target - start) * 2;
  if (status > U_ZERO_ERROR && status != U_BUFFER_OVERFLOW_ERROR) {
    char bytes[32];
    int8_t length = sizeof bytes;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(handle(converter), bytes, &length, &ignored);
    step.fault = faultOf(status);
    step.faultLength = static_cast<std::size_t>(length);
  }
  return step;
}

qel::codepage::IcuStep qel::codepage::icuFromUnicode(const void* converter, const char* units, std::size_t count,
                                                     char* target, std::size_t room, bool flush) {
  const auto* const start = reinterpret_cast<const UChar*>(units);
  const UChar* from = start;
  char* to = target;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(handle(converter), &to, target + room, &from, start + count, nullptr, flush, &status);
  IcuStep step;
  step.consumed = static_cast<std::size_t>(from - start);
  step.written = static_cast<std::size_t>(to - target);
  if (status > U_ZERO_ERROR && status != U_BUFFER_OVERFLOW_ERROR) {
    UChar invalid[8];
    int8_t length = 8;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidUChars(handle(converter), invalid, &length, &ignored);
    step.fault = status == U_INVALID_CHAR_FOUND ? TEXTFAULT_UNMAPPABLE : faultOf(status);
    step.faultLength = static_cast<std::size_t>(length);
    step.character = length == 2 ? 0x10000 + ((invalid[0] - 0xD800u) << 10) + (invalid[1] - 0xDC00u)
                                 : static_cast<std::uint32_t>(length > 0 ? invalid[0] : 0);
  }
  return step;
}

std::size_t qel::codepage::icuPendingBytes(const void* converter) {
  UErrorCode status = U_ZERO_ERROR;
  const int32_t pending = ucnv_toUCountPending(handle(converter), &status);
  return pending > 0 ? static_cast<std::size_t>(pending) : 0;
}

void qel::codepage::icuReset(const void* converter) { ucnv_reset(handle(converter)); }
