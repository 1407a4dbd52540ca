// Conversion through ICU's converters, for the code pages without a built-in table or
// algorithm.
#include <unicode/ucnv.h>

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
