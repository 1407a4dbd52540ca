// Showing a usage or help text on a stream.
#include "qel_consoleui.h"

#include <ostream>

void QelClUsageCursor::display(std::ostream& out, const char* text, unsigned long indentation,
                               bool usageMode, bool hideTaggedLines) {
  if (text == nullptr) text = "";
  const char* position = text;
  for (; *position != '\0'; ++position) {
    if (*position == '!') {
      if (!hideTaggedLines) continue;
      while (*position != '\n') {
        if (*position == '\0') return;
        ++position;
      }
      continue;
    }
    if (usageMode && !isToBeDisplayed(*position)) continue;
    out << *position;
    if (*position == '\n') {
      for (unsigned long i = 0; i < indentation; ++i) out << ' ';
    }
  }
  if (position == text || position[-1] != '\n') out << '\n';
}
