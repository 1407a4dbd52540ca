// The lines of an INI file's text as QelClIniFileText reads them: where each begins and
// ends, and what it is.
#ifndef VRNQEL43_INIFILE_INI_TEXT_LINES_H
#define VRNQEL43_INIFILE_INI_TEXT_LINES_H

#include <cstddef>
#include <cstdint>

#include "qel_inifile.h"

namespace qel::ini {

constexpr std::size_t kNoPlace = static_cast<std::size_t>(-1);

enum class LineKind { BLANK, COMMENT, HEADER, OPTION, CONTINUATION, FAULT };

// One line: its characters are [begin, end), its line end [end, next).
struct TextLine {
  std::size_t begin;
  std::size_t end;
  std::size_t next;
  std::uint32_t number;  // 1-based, counted from where the walk started
  LineKind kind;
  bool indented;  // begins with a blank
  QelClIniFileText::QelEnLineFault fault;
};

// Walks the lines of a text in order and tells each one's kind. What an indented line is
// depends on the option before it, which the walk keeps track of.
class TextLines {
public:
  // From the start of the text, behind a byte order mark.
  TextLines(const char* text, std::size_t size);
  // From the option line at offset at, inside a section.
  TextLines(const char* text, std::size_t size, std::size_t at);

  bool next(TextLine& line);
  // Where the walk stands: the start of the line that next() reads.
  std::size_t getPosition() const { return ulAt; }

private:
  const char* pcText;
  std::size_t ulSize;
  std::size_t ulAt;
  std::uint32_t ulNumber;
  bool bInSection;
  // The option before holds an unindented line: indented lines continue it.
  bool bContinuable;
};

// The line's characters as a terminated text, cut to LINE_LENGTH as the model reads it.
struct LineCopy {
  LineCopy(const char* text, const TextLine& line);
  char szLine[QelClIniFileText::LINE_LENGTH + 1];
};

// The section name of a header line equals name (case ignored), the name cut to
// SECTION_NAME_LENGTH characters as the model keeps it.
bool isHeaderOf(const char* text, const TextLine& line, const char* name);
// The option name of an option line (its non-blank characters before the first '=')
// equals name, case ignored.
bool isOptionOf(const char* text, const TextLine& line, const char* name);
// The option line has a name at all ("=value" has none).
bool hasOptionName(const char* text, const TextLine& line);

// The option whose line the walk has just read, parsed as the model parses it: its line,
// then each continuation line behind it. lines is left behind the option's last line.
QelClIniFileOption* parseOption(const char* text, const TextLine& line, TextLines& lines);

}  // namespace qel::ini

#endif
