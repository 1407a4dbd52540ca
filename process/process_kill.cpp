// Ending an existing process.
#include "qel_process.h"

#include "platform/platform.h"

QelClProcess::QelClProcess() : stError{NO_ERROR, QelEnErrorClass::UNKNOWN} {}

QelClProcess::QelClProcess(unsigned int processId)
    : QelClProcessProperty(processId), stError{NO_ERROR, QelEnErrorClass::UNKNOWN} {}

bool QelClProcess::kill() {
  stError.ulErrorId = PROCESS_COULD_NOT_KILL;
  stError.enErrorClass = QelEnErrorClass::INVALID_DATA;
  if (!qel::platform::killProcess(getProcessId())) return false;
  stError.ulErrorId = NO_ERROR;
  stError.enErrorClass = QelEnErrorClass::UNKNOWN;
  return true;
}
