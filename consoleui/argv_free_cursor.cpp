// The free cursor: stands only on arguments that are neither switches nor bound.
#include "qel_consoleui.h"

QelClArgvFreeCursor::QelClArgvFreeCursor(int argc, const char* const* argv, const char* usage)
    : QelClArgvCheckCursor(argc, argv, usage) {
  // setToFirst with this class's own step: no derived class exists yet.
  lIndex = 1;
  if (!isFree()) QelClArgvFreeCursor::setToNext();
}

bool QelClArgvFreeCursor::setToFirst() {
  lIndex = 1;
  return isFree() || setToNext();
}

bool QelClArgvFreeCursor::setToNext() {
  do {
    ++lIndex;
  } while (isValid() && !isFree());
  return isValid();
}

bool QelClArgvFreeCursor::setToLast() {
  lIndex = lArgc - 1;
  return isFree() || setToPrevious();
}

bool QelClArgvFreeCursor::setToPrevious() {
  do {
    --lIndex;
  } while (isValid() && !isFree());
  return isValid();
}
