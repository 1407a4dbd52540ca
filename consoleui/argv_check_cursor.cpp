// The check cursor: measures each argument against the usage text.
#include "qel_consoleui.h"

QelClArgvCheckCursor::QelClArgvCheckCursor(int argc, const char* const* argv, const char* usage)
    : QelClArgvCursor(argc, argv), pszUsage(usage) {}

// Whether the first usage item of the switch argument takes an argument.
bool QelClArgvCheckCursor::switchRequiresArg(const char* argument) const {
  QelClUsageCursor item(pszUsage);
  for (bool bOnItem = item.setToFirst(); bOnItem; bOnItem = item.setToNext()) {
    if (item.matchesSwitch(argument)) return item.reqArg();
  }
  return false;
}

bool QelClArgvCheckCursor::reqArg() const { return isSwitch() && switchRequiresArg(getAsCString()); }

bool QelClArgvCheckCursor::hasArg() const {
  const char* next = getArgAt(lIndex + 1);
  return isSwitch() && next != nullptr && !QelClUsageCursor::isSwitchIndicator(next);
}

bool QelClArgvCheckCursor::isBound() const {
  const char* previous = getArgAt(lIndex - 1);
  return isValid() && !isSwitch() && QelClUsageCursor::isSwitchIndicator(previous) &&
         switchRequiresArg(previous);
}

bool QelClArgvCheckCursor::isFree() const { return isValid() && !isSwitch() && !isBound(); }

bool QelClArgvCheckCursor::isTagged() const {
  if (!isValid()) return false;
  QelClUsageCursor item(pszUsage);
  for (bool bOnItem = item.setToFirst(); bOnItem; bOnItem = item.setToNext()) {
    if (item.isOnTaggedLine() && item.matches(getAsCString())) return true;
  }
  return false;
}

bool QelClArgvCheckCursor::isLegal() const {
  if (!isValid()) return false;
  QelClUsageCursor item(pszUsage);
  if (isSwitch()) {
    for (bool bOnItem = item.setToFirst(); bOnItem; bOnItem = item.setToNext()) {
      if (item.matchesSwitch(getAsCString())) return true;
    }
    return false;
  }
  if (isBound()) return true;
  for (bool bOnItem = item.setToFirst(); bOnItem; bOnItem = item.setToNext()) {
    if (!item.isSwitch() && item.getGroupDepth() == 0) return true;
  }
  return false;
}
