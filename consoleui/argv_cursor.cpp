// The argument cursor: walks argv[1] to argv[argc - 1].
#include "qel_consoleui.h"

#include <cstring>

QelClArgvCursor::QelClArgvCursor(int argc, const char* const* argv)
    : lArgc(argc), lIndex(1), ppszArgv(argv) {}

bool QelClArgvCursor::isValid() const { return lIndex >= 1 && lIndex < lArgc; }

bool QelClArgvCursor::setToFirst() {
  lIndex = 1;
  return isValid();
}

bool QelClArgvCursor::setToNext() {
  ++lIndex;
  return isValid();
}

bool QelClArgvCursor::setToLast() {
  lIndex = lArgc - 1;
  return isValid();
}

bool QelClArgvCursor::setToPrevious() {
  --lIndex;
  return isValid();
}

const char* QelClArgvCursor::getArgv0() const { return lArgc > 0 ? ppszArgv[0] : nullptr; }

const char* QelClArgvCursor::getArgAt(std::int32_t index) const {
  return index >= 1 && index < lArgc ? ppszArgv[index] : nullptr;
}

const char* QelClArgvCursor::getAsCString() const { return getArgAt(lIndex); }

bool QelClArgvCursor::isSwitch() const { return QelClUsageCursor::isSwitchIndicator(getAsCString()); }

bool QelClArgvCursor::matches(const char* name) const {
  if (name == nullptr || !isSwitch()) return false;
  if (*name == '-') ++name;
  return std::strcmp(getAsCString() + 1, name) == 0;
}

bool QelClArgvCursor::positionTo(const char* name) {
  for (lIndex = 1; isValid(); ++lIndex) {
    if (matches(name)) return true;
  }
  return false;
}
