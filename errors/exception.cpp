// The library's exception classes.
#include "qel_errors.h"

namespace {
const char kNoCause[] = "";
}

QelClExceptionABase::QelClExceptionABase() : pszCause(kNoCause), pszModule(nullptr), ulLine(0) {}

QelClExceptionABase::QelClExceptionABase(const char* cause)
    : pszCause(cause != nullptr ? cause : kNoCause), pszModule(nullptr), ulLine(0) {}

QelClExceptionABase::~QelClExceptionABase() = default;

const char* QelClExceptionABase::getCause() const { return pszCause; }

void QelClExceptionABase::setLocation(const char* module, unsigned long line) {
  pszModule = module;
  ulLine = static_cast<std::uint32_t>(line);
}

QelClException::QelClException(unsigned long id, QelEnErrorClass errorClass,
                               QelEnErrorSeverity severity, QelEnErrorAction action,
                               const char* cause)
    : QelClExceptionABase(cause), ulErrorId(static_cast<std::uint32_t>(id)),
      enErrorClass(errorClass), enErrorSeverity(severity), enErrorAction(action) {}

QelClException::~QelClException() = default;

bool QelClException::isQelException() const { return true; }

QelClExceptionFatal::QelClExceptionFatal(unsigned long id, QelEnErrorClass errorClass,
                                         QelEnErrorAction action, const char* cause)
    : QelClException(id, errorClass, QelEnErrorSeverity::FATAL, action, cause) {}

QelClExceptionFatal::~QelClExceptionFatal() = default;
