// Ending an existing process.
#include "qel_process.h"

#include "platform/platform.h"

QelClProcess::QelClProcess() : stError{NO_ERROR, QelEnErrorClass::UNKNOWN}, ulHostError(0) {}

QelClProcess::QelClProcess(unsigned int processId)
    : QelClProcessProperty(processId), stError{NO_ERROR, QelEnErrorClass::UNKNOWN}, ulHostError(0) {}

bool QelClProcess::kill() {
  stError.ulErrorId = PROCESS_COULD_NOT_KILL;
  stError.enErrorClass = QelEnErrorClass::INVALID_DATA;
  if (const qel::platform::Status killed = qel::platform::killProcess(getProcessId()); !killed) {
    ulHostError = killed.error();
    return false;
  }
  stError.ulErrorId = NO_ERROR;
  stError.enErrorClass = QelEnErrorClass::UNKNOWN;
  ulHostError = 0;
  return true;
}
