// Starting the command line: waiting for the program's end, or returning at once. A
// launch that fails keeps the host's code as its result and as its host error.
#include "qel_process.h"

#include "platform/platform.h"

QelClNewSyncProcess::QelClNewSyncProcess(const QelClExeFile& executable)
    : QelClNewProcessABase(executable), ulResult(0) {}

bool QelClNewSyncProcess::launch() {
  prepareLaunch();
  if (const qel::platform::Status ran =
          qel::platform::runProcess(getCommandLineForLaunch(), ulNewConsole != 0, ulResult);
      !ran) {
    ulResult = ran.error();
    setHostError(ran.error());
    return false;
  }
  clearError();
  return true;
}

QelClNewAsyncProcess::QelClNewAsyncProcess(const QelClExeFile& executable)
    : QelClNewProcessABase(executable), ulResult(0) {}

bool QelClNewAsyncProcess::launch() {
  prepareLaunch();
  if (const qel::platform::Status started =
          qel::platform::startProcess(getCommandLineForLaunch(), ulNewConsole != 0, ulResult);
      !started) {
    ulResult = started.error();
    setHostError(started.error());
    return false;
  }
  clearError();
  return true;
}
