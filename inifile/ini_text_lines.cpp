// The lines of an INI file's text: line ends, kinds of lines, names and the parsed value
// of an option.
#include <algorithm>
#include <cstring>

#include "inifile/ini_names.h"
#include "inifile/ini_text_lines.h"

namespace {

using Fault = QelClIniFileText::QelEnLineFault;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

qel::ini::TextLines::TextLines(const char* text, std::size_t size)
    : pcText(text), ulSize(size), ulAt(0), ulNumber(0), bInSection(false), bContinuable(false) {
  if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) ulAt = 3;
}

// An option line read with nothing to continue is an option, indented or not, so the
// walk may start on one.
qel::ini::TextLines::TextLines(const char* text, std::size_t size, std::size_t at)
    : pcText(text), ulSize(size), ulAt(at), ulNumber(0), bInSection(true), bContinuable(false) {}

bool qel::ini::TextLines::next(TextLine& line) {
  if (ulAt >= ulSize) return false;
  line.begin = ulAt;
  std::size_t end = ulAt;
  while (end < ulSize && pcText[end] != '\n' && pcText[end] != '\r') ++end;
  line.end = end;
  if (end < ulSize) end += pcText[end] == '\r' && end + 1 < ulSize && pcText[end + 1] == '\n' ? 2 : 1;
  line.next = ulAt = end;
  line.number = ++ulNumber;
  line.fault = Fault::NONE;

  const char* const first = pcText + line.begin;
  const std::size_t length = line.end - line.begin;
  line.indented = length != 0 && isBlank(*first);
  std::size_t blanks = 0;
  while (blanks < length && isBlank(first[blanks])) ++blanks;
  const bool hasEquals = std::memchr(first, '=', length) != nullptr;

  if (std::memchr(first, '\0', length) != nullptr) {
    line.fault = Fault::NUL_BYTE;
  } else if (length > QelClIniFileText::LINE_LENGTH) {
    line.fault = Fault::LINE_TOO_LONG;
  } else if (blanks == length) {
    line.kind = LineKind::BLANK;
  } else if (first[blanks] == ';' || first[blanks] == '#') {
    line.kind = LineKind::COMMENT;
  } else if (*first == '[') {
    if (std::memchr(first, ']', length) != nullptr) {
      line.kind = LineKind::HEADER;
      bInSection = true;
      bContinuable = false;
    } else {
      line.fault = Fault::NO_CLOSING_BRACKET;
      bContinuable = false;
    }
  } else if (line.indented && bContinuable) {
    line.kind = LineKind::CONTINUATION;
  } else if (hasEquals) {
    line.kind = LineKind::OPTION;
    bContinuable = !line.indented;
  } else {
    line.fault = bInSection ? Fault::NOT_AN_OPTION : Fault::OUTSIDE_SECTION;
  }
  if (line.fault != Fault::NONE) line.kind = LineKind::FAULT;
  return true;
}

qel::ini::LineCopy::LineCopy(const char* text, const TextLine& line) {
  std::size_t length = line.end - line.begin;
  if (length > QelClIniFileText::LINE_LENGTH) length = QelClIniFileText::LINE_LENGTH;
  std::memcpy(szLine, text + line.begin, length);
  szLine[length] = '\0';
}

bool qel::ini::isHeaderOf(const char* text, const TextLine& line, const char* name) {
  const char* c = text + line.begin + 1;
  const char* const close = static_cast<const char*>(std::memchr(c, ']', line.end - line.begin - 1));
  constexpr std::size_t kKept = QelClIniFileText::SECTION_NAME_LENGTH;
  const std::size_t length = std::min(static_cast<std::size_t>(close - c), kKept);
  const char* const end = c + length;
  for (; c < end; ++c, ++name) {
    if (lower(*c) != lower(*name)) return false;
  }
  return *name == '\0';
}

bool qel::ini::isOptionOf(const char* text, const TextLine& line, const char* name) {
  for (const char* c = text + line.begin; *c != '='; ++c) {
    if (isBlank(*c)) continue;
    if (lower(*c) != lower(*name)) return false;
    ++name;
  }
  return *name == '\0';
}

bool qel::ini::hasOptionName(const char* text, const TextLine& line) {
  for (const char* c = text + line.begin; *c != '='; ++c) {
    if (!isBlank(*c)) return true;
  }
  return false;
}

// Blank and comment lines between the continuation lines are passed over, as the model
// passes over them.
QelClIniFileOption* qel::ini::parseOption(const char* text, const TextLine& line, TextLines& lines) {
  auto* const option = new QelClIniFileOption(LineCopy(text, line).szLine);
  TextLines ahead = lines;
  TextLine after{};
  while (ahead.next(after)) {
    if (after.kind == LineKind::CONTINUATION) {
      option->appendOptionValue(LineCopy(text, after).szLine);
      lines = ahead;
    } else if (after.kind != LineKind::BLANK && after.kind != LineKind::COMMENT) {
      break;
    }
  }
  return option;
}
