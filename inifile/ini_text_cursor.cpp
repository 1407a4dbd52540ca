// Walking the options of a section of an INI file's text.
#include "inifile/ini_text_lines.h"
#include "qel_inifile.h"

using qel::ini::kNoPlace;
using qel::ini::LineKind;
using qel::ini::TextLine;
using qel::ini::TextLines;

QelClIniFileTextOptionCursor::QelClIniFileTextOptionCursor(const QelClIniFileText& text, const char* section)
    : pclText(&text), ulFirst(kNoPlace), ulCurrent(kNoPlace), pclOption(nullptr) {
  TextLines lines(text.getText(), text.getSize());
  TextLine line{};
  while (lines.next(line)) {
    if (line.kind == LineKind::HEADER && qel::ini::isHeaderOf(text.getText(), line, section)) {
      ulFirst = line.next;
      break;
    }
  }
  standOn(ulFirst, false);
}

QelClIniFileTextOptionCursor::~QelClIniFileTextOptionCursor() { delete pclOption; }

bool QelClIniFileTextOptionCursor::setToFirst() { return standOn(ulFirst, false); }

bool QelClIniFileTextOptionCursor::setToNext() { return isValid() && standOn(ulCurrent, true); }

const char* QelClIniFileTextOptionCursor::getOption() const { return isValid() ? pclOption->getName() : ""; }

const char* QelClIniFileTextOptionCursor::getValue() const { return isValid() ? pclOption->getValue() : ""; }

// A walk that starts on an option line reads it as an option, and the lines behind the
// header of a section as the first ones of that section.
bool QelClIniFileTextOptionCursor::standOn(std::size_t at, bool skipFirst) {
  delete pclOption;
  pclOption = nullptr;
  if (at == kNoPlace) return false;
  const char* const text = pclText->getText();
  TextLines lines(text, pclText->getSize(), at);
  TextLine line{};
  bool skip = skipFirst;
  while (lines.next(line) && line.kind != LineKind::HEADER) {
    if (line.kind != LineKind::OPTION) continue;
    if (skip || !qel::ini::hasOptionName(text, line)) {
      skip = false;
      continue;
    }
    ulCurrent = line.begin;
    pclOption = qel::ini::parseOption(text, line, lines);
    return true;
  }
  return false;
}
