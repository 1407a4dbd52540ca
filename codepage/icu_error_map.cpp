// ICU's result codes as the library's error records: a fixed map, searched in order.
#include "qel_codepage.h"

namespace {

using Row = QelClIcuInterface::_QelStIcuRc2QelIdMap;
using C = QelEnErrorClass;
using A = QelEnErrorAction;
using S = QelEnErrorSeverity;

constexpr UErrorCode code(std::int32_t value) { return static_cast<UErrorCode>(value); }

constexpr Row kMap[] = {
    {code(0), NO_ERROR, C::UNKNOWN, A(0), S(0)},
    {code(-128), NO_ERROR, C::UNKNOWN, A(0), S(0)},  // fallback used
    {code(-128), NO_ERROR, C::UNKNOWN, A(0), S(0)},  // the first warning code
    {code(-127), NO_ERROR, C::UNKNOWN, A(0), S(0)},  // default used
    {code(-126), NO_ERROR, C::UNKNOWN, A(0), S(0)},  // safe clone allocated
    {code(1), ICU_ILLEGAL_ARGUMENT_ERROR, C::USER_ERROR, A::INFORM, S::INTERNAL},
    {code(2), ICU_MISSING_RESOURCE_ERROR, C::UNKNOWN, A::INFORM, S::NORMAL},
    {code(3), ICU_INVALID_FORMAT_ERROR, C::UNKNOWN, A::INFORM, S::NORMAL},
    {code(4), ICU_FILE_ACCESS_ERROR, C::IO_PROBLEM, A::INFORM, S::NORMAL},
    {code(5), ICU_INTERNAL_PROGRAM_ERROR, C::UNKNOWN, A::ABORT, S::INTERNAL},
    {code(6), ICU_MESSAGE_PARSE_ERROR, C::USER_DATA_ERROR, A::INFORM, S::NORMAL},
    {code(7), ICU_MEMORY_ALLOCATION_ERROR, C::OUT_OF_MEMORY, A::INFORM, S::FATAL},
    {code(8), ICU_INDEX_OUTOFBOUNDS_ERROR, C::USER_DATA_ERROR, A::INFORM, S::NORMAL},
    {code(9), ICU_PARSE_ERROR, C::USER_DATA_ERROR, A::INFORM, S::NORMAL},
    {code(10), CPCONVERTER_INVALID_SEQ, C::INVALID_DATA, A::INFORM, S::NORMAL},
    {code(11), CPCONVERTER_INCOMPLETE, C::INVALID_DATA, A::INFORM, S::NORMAL},
    {code(12), CPCONVERTER_INVALID_SEQ, C::INVALID_DATA, A::INFORM, S::NORMAL},
    {code(13), ICU_INVALID_TABLE_FORMAT, C::USER_DATA_ERROR, A::INFORM, S::NORMAL},
    {code(14), ICU_INVALID_TABLE_FILE, C::IO_PROBLEM, A::INFORM, S::NORMAL},
    {code(15), CPCONVERTER_TOO_BIG, C::USER_DATA_ERROR, A::INFORM, S::NORMAL},
    {code(16), ICU_UNSUPPORTED_ERROR, C::FUNCTION_NOT_SUPPORTED, A::INFORM, S::NORMAL},
    {code(17), ICU_RESOURCE_TYPE_MISMATCH, C::USER_DATA_ERROR, A::INFORM, S::NORMAL},
    {code(18), ICU_ILLEGAL_ESCAPE_SEQUENCE, C::INVALID_DATA, A::INFORM, S::NORMAL},
    {code(19), ICU_UNSUPPORTED_ESCAPE_SEQ, C::INVALID_DATA, A::INFORM, S::NORMAL},
    {code(20), ICU_NO_SPACE_AVAILABLE, C::RESOURCE_EXHAUSTED, A::INFORM, S::NORMAL},
    {code(QelClIcuInterface::ERROR_LIMIT_CODE), ICU_ERROR_LIMIT, C::UNKNOWN, A(0), S(0)},
};
static_assert(sizeof kMap / sizeof kMap[0] == 26, "the map has 26 rows");

}  // namespace

const QelClIcuInterface::_QelStIcuRc2QelIdMap& QelClIcuInterface::getQelEntryForIcuError(UErrorCode code) {
  for (const Row& row : kMap) {
    if (row.enIcuCode == code) return row;
  }
  throw QelClException(ICU_UNEXPECTED_ICU_ERROR, C::UNKNOWN, S::INTERNAL, A::ABORT, "Unexpected ICU error");
}

unsigned long QelClIcuInterface::getQelErrorIdForIcuError(UErrorCode code) {
  return getQelEntryForIcuError(code).ulErrorId;
}

QelEnErrorClass QelClIcuInterface::getQelErrorClassForIcuError(UErrorCode code) {
  return getQelEntryForIcuError(code).enErrorClass;
}

QelEnErrorAction QelClIcuInterface::getQelErrorActionForIcuError(UErrorCode code) {
  return getQelEntryForIcuError(code).enErrorAction;
}

QelEnErrorSeverity QelClIcuInterface::getQelErrorSeverityForIcuError(UErrorCode code) {
  return getQelEntryForIcuError(code).enErrorSeverity;
}

void QelClIcuInterface::mapIcuError(_QelStError& error, UErrorCode code) {
  const Row& row = getQelEntryForIcuError(code);
  error = _QelStError{row.ulErrorId, row.enErrorClass};
}

void QelClIcuInterface::mapIcuError(_QelStUserError& error, UErrorCode code) {
  const Row& row = getQelEntryForIcuError(code);
  error = _QelStUserError(row.ulErrorId, row.enErrorClass, row.enErrorSeverity, row.enErrorAction);
}

void QelClIcuInterface::handleIcuErrorCode(UErrorCode code) {
  if (code < 1) return;
  const Row& row = getQelEntryForIcuError(code);
  throw QelClException(row.ulErrorId, row.enErrorClass, row.enErrorSeverity, row.enErrorAction, "");
}
