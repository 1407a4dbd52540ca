// Replacing a file as a whole under its lock file (QelClFileUpdate).
#include "platform/platform.h"
#include "qel_filesystem.h"

using qel::platform::Replacement;

QelClFileUpdate::QelClFileUpdate(const QelClFilenameABase& name)
    : clName(name), stError{NO_ERROR, QelEnErrorClass::UNKNOWN}, ulHostError(0), pvState(nullptr) {}

QelClFileUpdate::~QelClFileUpdate() { abandon(); }

// The record's class is the host error's; a host error of no class is a write problem.
bool QelClFileUpdate::fail(std::uint32_t id, std::uint32_t hostError) {
  QelEnErrorClass errorClass = qelHostErrorGetClass(hostError);
  if (errorClass == QelEnErrorClass::UNKNOWN) {
    errorClass = id == FILE_COULD_NOT_LOCK ? QelEnErrorClass::IO_ALREADY_IN_USE : QelEnErrorClass::IO_WRITE_PROBLEM;
  }
  stError = _QelStError{id, errorClass};
  ulHostError = hostError;
  return false;
}

bool QelClFileUpdate::lock(unsigned long waitMilliseconds) {
  if (pvState != nullptr) return true;
  const std::uint32_t wait = waitMilliseconds > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<std::uint32_t>(waitMilliseconds);
  Replacement* replacement = nullptr;
  const qel::platform::Status status = qel::platform::beginReplacement(clName.getAsCString(), wait, replacement);
  if (!status) return fail(FILE_COULD_NOT_LOCK, status.error());
  pvState = replacement;
  stError = _QelStError{NO_ERROR, QelEnErrorClass::UNKNOWN};
  ulHostError = 0;
  return true;
}

bool QelClFileUpdate::write(const void* data, std::size_t size) {
  if (pvState == nullptr && !lock()) return false;
  const qel::platform::Status status =
      qel::platform::writeReplacement(static_cast<Replacement*>(pvState), data, size);
  if (status) return true;
  abandon();
  return fail(FILE_COULD_NOT_WRITE, status.error());
}

// Without a held lock (never taken, committed already, or abandoned after a failure)
// there is nothing to commit: the file stays as it was, and a failure recorded before
// stays in the record.
bool QelClFileUpdate::commit() {
  if (pvState == nullptr) {
    if (stError.ulErrorId == NO_ERROR) stError = _QelStError{FILE_COULD_NOT_WRITE, QelEnErrorClass::LOGIC};
    return false;
  }
  auto* replacement = static_cast<Replacement*>(pvState);
  pvState = nullptr;
  const qel::platform::Status status = qel::platform::commitReplacement(replacement);
  return status ? true : fail(FILE_COULD_NOT_WRITE, status.error());
}

void QelClFileUpdate::abandon() {
  if (pvState == nullptr) return;
  qel::platform::abandonReplacement(static_cast<Replacement*>(pvState));
  pvState = nullptr;
}
