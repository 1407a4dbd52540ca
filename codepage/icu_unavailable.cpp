// Without ICU (the Windows build), ICU opens no converter: the code pages that would need
// it are unsupported.
#include "qel_codepage.h"

const void* qelGetICUConverter(unsigned int, _QelStError& error) {
  QelClIcuInterface::mapIcuError(error, U_UNSUPPORTED_ERROR);
  return nullptr;
}

void qelDeleteICUConverter(const void*) {}

unsigned int qelConvertByAlgorithmIcuToUnicode(QelClConverterABase::_QelStConverter& block) {
  return qelConvertError(block);
}

unsigned int qelConvertByAlgorithmIcuFromUnicode(QelClConverterABase::_QelStConverter& block) {
  return qelConvertError(block);
}
