// Starting the command line: waiting for the program's end, or returning at once.
#include "qel_process.h"

#include "platform/platform.h"

QelClNewSyncProcess::QelClNewSyncProcess(const QelClExeFile& executable)
    : QelClNewProcessABase(executable), ulResult(0) {}

bool QelClNewSyncProcess::launch() {
  prepareLaunch();
  if (!qel::platform::runProcess(getCommandLineForLaunch(), ulNewConsole != 0, ulResult)) {
    return false;
  }
  clearError();
  return true;
}

QelClNewAsyncProcess::QelClNewAsyncProcess(const QelClExeFile& executable)
    : QelClNewProcessABase(executable), ulResult(0) {}

bool QelClNewAsyncProcess::launch() {
  prepareLaunch();
  if (!qel::platform::startProcess(getCommandLineForLaunch(), ulNewConsole != 0, ulResult)) {
    return false;
  }
  clearError();
  return true;
}
