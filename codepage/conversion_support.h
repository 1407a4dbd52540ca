// What the conversion functions share.
#ifndef VRNQEL43_CODEPAGE_CONVERSION_SUPPORT_H
#define VRNQEL43_CODEPAGE_CONVERSION_SUPPORT_H

#include <algorithm>

#include "qel_codepage.h"

namespace qel::codepage {

// count, or room when count exceeds it; then CPCONVERTER_TOO_BIG is recorded.
unsigned int fitting(QelClConverterABase::_QelStConverter& block, unsigned int count, unsigned int room);
// size rounded down to even; an odd size records CPCONVERTER_INCOMPLETE.
unsigned int evenSize(QelClConverterABase::_QelStConverter& block, unsigned int size);

}  // namespace qel::codepage

#endif
