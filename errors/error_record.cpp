// Error records and the mapping of their values to the built-in messages that name them.
#include "qel_errors.h"

_QelStUserError::_QelStUserError()
    : ulErrorId(NO_ERROR), enErrorClass(QelEnErrorClass::UNKNOWN),
      enErrorSeverity(QelEnErrorSeverity::NONE), enErrorAction(QelEnErrorAction::IGNORE) {}

_QelStUserError::_QelStUserError(std::uint32_t id, QelEnErrorClass errorClass,
                                 QelEnErrorSeverity severity, QelEnErrorAction action)
    : ulErrorId(id), enErrorClass(errorClass), enErrorSeverity(severity), enErrorAction(action) {}

// Each mapping is an exact lookup: values between the listed ones have no message.

std::uint32_t qelErrorGetIdAsMessageId(std::uint32_t errorId) {
  switch (errorId) {
#define QEL_ERROR_ID(name, value, message) \
  case name:                               \
    return message;
#include "qel_errortables.inc"
  }
  return 0;
}

std::uint32_t qelErrorGetClassAsMessageId(QelEnErrorClass errorClass) {
  switch (errorClass) {
#define QEL_ERROR_CLASS(name, value, message) \
  case QelEnErrorClass::name:                 \
    return message;
#include "qel_errortables.inc"
  }
  return 0;
}

std::uint32_t qelErrorGetSeverityAsMessageId(QelEnErrorSeverity severity) {
  switch (severity) {
#define QEL_ERROR_SEVERITY(name, value, message) \
  case QelEnErrorSeverity::name:                 \
    return message;
#include "qel_errortables.inc"
  }
  return 0;
}

std::uint32_t qelErrorGetActionAsMessageId(QelEnErrorAction action) {
  switch (action) {
#define QEL_ERROR_ACTION(name, value, message) \
  case QelEnErrorAction::name:                 \
    return message;
#include "qel_errortables.inc"
  }
  return 0;
}
