// Without ICU (the Windows build), ICU opens no converter: the code pages that would need
// it are unsupported.
#include "codepage/icu_streams.h"
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

// qelGetICUConverter opens none here, so the streaming functions are never reached.
void qel::codepage::icuStopAtFaults(const void*, bool) {}

qel::codepage::IcuStep qel::codepage::icuToUnicode(const void*, const char*, std::size_t, char*, std::size_t, bool,
                                                   std::int32_t*) {
  return IcuStep{};
}

qel::codepage::IcuStep qel::codepage::icuFromUnicode(const void*, const char*, std::size_t, char*, std::size_t, bool) {
  return IcuStep{};
}

std::size_t qel::codepage::icuPendingBytes(const void*) { return 0; }

void qel::codepage::icuReset(const void*) {}
