// The usage cursor: reads a usage text item by item.
#include "qel_consoleui.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetterOrDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// What ends a switch name in a usage text; a line break does not.
bool isDelimiter(char c) {
  switch (c) {
    case '\0': case ' ': case '[': case ']': case '<': case '>':
    case '(': case ')': case '{': case '}': case '-': case '|':
      return true;
    default:
      return false;
  }
}

// text compared with the usage text at position, then a delimiter or the end must
// follow. The comparison stops at the first difference, so it never passes the end
// of either text.
bool matchesAt(const char* position, const char* text) {
  for (; *text != '\0'; ++text, ++position) {
    if (*position != *text) return false;
  }
  return isDelimiter(*position);
}

}  // namespace

QelClUsageCursor::QelClUsageCursor(const char* usage)
    : pszStart(usage != nullptr ? usage : ""),
      pszCurrent(pszStart),
      lOptionalDepth(0),
      lGroupDepth(0),
      bTaggedLine(false),
      bInsidePlaceholder(false) {}

bool QelClUsageCursor::isValid() const { return *pszCurrent != '\0'; }

bool QelClUsageCursor::setToFirst() {
  pszCurrent = pszStart;
  lOptionalDepth = 0;
  lGroupDepth = 0;
  bTaggedLine = false;
  bInsidePlaceholder = false;
  return locateItem();
}

bool QelClUsageCursor::setToNext() {
  skipItem();
  return locateItem();
}

const char* QelClUsageCursor::getAsCString() const { return pszCurrent; }
std::int32_t QelClUsageCursor::getGroupDepth() const { return lGroupDepth; }
std::int32_t QelClUsageCursor::getOptionalDepth() const { return lOptionalDepth; }
bool QelClUsageCursor::isOnTaggedLine() const { return bTaggedLine; }

// Passes the item at the cursor: its '-', '/' or '<', then its letters, digits and
// dots, and inside a placeholder its blanks too. The closing '>' is left to the
// next locate.
void QelClUsageCursor::skipItem() {
  if (*pszCurrent == '-' || *pszCurrent == '/' || *pszCurrent == '<') ++pszCurrent;
  while (isLetterOrDigit(*pszCurrent) || *pszCurrent == '.' ||
         (bInsidePlaceholder && *pszCurrent == ' ')) {
    ++pszCurrent;
  }
}

// Moves to the next item, the current character included, keeping the depths and
// flags up to date. A bare word counts only after a blank passed in this scan.
bool QelClUsageCursor::locateItem() {
  bool bBlankSeen = false;
  for (; *pszCurrent != '\0'; ++pszCurrent) {
    switch (*pszCurrent) {
      case '\n': bTaggedLine = false; break;
      case ' ': bBlankSeen = true; break;
      case '!': bTaggedLine = true; break;
      case '"':
        do {
          ++pszCurrent;
        } while (*pszCurrent != '"' && *pszCurrent != '\0');
        if (*pszCurrent == '\0') return false;
        break;
      case '(': ++lGroupDepth; break;
      case ')': --lGroupDepth; break;
      case '[': ++lOptionalDepth; break;
      case ']': --lOptionalDepth; break;
      case '-':
      case '/':
        return true;
      case '.':
        if (pszCurrent[1] == '.') {
          while (pszCurrent[1] == '.') ++pszCurrent;
          return true;
        }
        break;
      case '<':
        bInsidePlaceholder = true;
        return true;
      case '>': bInsidePlaceholder = false; break;
      default:
        if (bBlankSeen && isLetterOrDigit(*pszCurrent)) return true;
        break;
    }
  }
  return false;
}

bool QelClUsageCursor::isSwitch() const { return isSwitchIndicator(pszCurrent); }

bool QelClUsageCursor::isArgEllipsis() const { return *pszCurrent == '.'; }

// Both are false on an item that is no switch: only a switch takes arguments.
bool QelClUsageCursor::reqArg() const {
  if (!isSwitch() || lGroupDepth == 0) return false;
  QelClUsageCursor next(*this);
  if (!next.setToNext() || next.isSwitch()) return false;
  return next.lGroupDepth == lGroupDepth;
}

bool QelClUsageCursor::reqArgEllipsis() const {
  if (!isSwitch() || lGroupDepth == 0) return false;
  QelClUsageCursor next(*this);
  for (bool bOnItem = next.setToNext(); bOnItem; bOnItem = next.setToNext()) {
    if (next.lGroupDepth != lGroupDepth || next.isSwitch()) return false;
    if (next.isArgEllipsis()) return true;
  }
  return false;
}

bool QelClUsageCursor::matchesSwitch(const char* name) const {
  if (name == nullptr || !isSwitch()) return false;
  if (*name == '-') ++name;
  return matchesAt(pszCurrent + 1, name);
}

bool QelClUsageCursor::matches(const char* text) const {
  return text != nullptr && isValid() && matchesAt(pszCurrent, text);
}

bool QelClUsageCursor::isSwitchIndicator(const char* s) {
  return s != nullptr && s[0] == '-' && !isDigit(s[1]);
}

bool QelClUsageCursor::isToBeDisplayed(char c) { return c != '"' && c != '(' && c != ')'; }
