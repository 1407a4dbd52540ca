// Editing an INI file's text line by line: lookups, changes of single lines, and the
// text's block of memory.
#include <cstring>

#include "inifile/ini_names.h"
#include "inifile/ini_text_lines.h"
#include "qel_inifile.h"
#include "qel_memory.h"

#define QEL_MODULE "ini_file_text"
#include "errors/throw_at.h"

using qel::ini::isBlank;
using qel::ini::kNoPlace;
using qel::ini::LineCopy;
using qel::ini::LineKind;
using qel::ini::TextLine;
using qel::ini::TextLines;

namespace {

constexpr std::size_t kLargestBlock = 0xFFFFFFFFu;  // what the memory manager hands out at once
constexpr std::size_t kFirstBlock = 4096;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Where a section and an option of it stand in the text. Offsets; kNoPlace where there
// is none.
struct Place {
  std::size_t ulHeader = kNoPlace;      // the section's header line
  std::size_t ulEnd = kNoPlace;         // behind its last option's last line, or its header
  std::size_t ulLastOption = kNoPlace;  // its last option line
  std::size_t ulOption = kNoPlace;      // the option's line
  std::size_t ulOptionEnd = kNoPlace;   // behind the option's last continuation line
};

// The first section of the name and, when option is not null, the first option of that
// name in it.
Place locate(const char* text, std::size_t size, const char* section, const char* option) {
  Place place;
  TextLines lines(text, size);
  TextLine line{};
  bool inside = false;
  bool continuing = false;  // continuation lines belong to the option looked for
  while (lines.next(line)) {
    if (line.kind == LineKind::HEADER) {
      if (inside) break;
      if (qel::ini::isHeaderOf(text, line, section)) {
        inside = true;
        place.ulHeader = line.begin;
        place.ulEnd = line.next;
      }
    } else if (!inside) {
      // lines of other sections
    } else if (line.kind == LineKind::OPTION) {
      place.ulLastOption = line.begin;
      place.ulEnd = line.next;
      continuing = option != nullptr && place.ulOption == kNoPlace && qel::ini::isOptionOf(text, line, option);
      if (continuing) {
        place.ulOption = line.begin;
        place.ulOptionEnd = line.next;
      }
    } else if (line.kind == LineKind::CONTINUATION) {
      place.ulEnd = line.next;
      if (continuing) place.ulOptionEnd = line.next;
    }
  }
  return place;
}

// The option whose line begins at at, parsed with its continuation lines.
QelClIniFileOption* parseAt(const char* text, std::size_t size, std::size_t at) {
  TextLines lines(text, size, at);
  TextLine line{};
  lines.next(line);
  return qel::ini::parseOption(text, line, lines);
}

// A line or two being composed, within a fixed room; what does not fit is counted but
// not kept, so that the caller refuses it.
class Composer {
public:
  void put(char c) {
    if (ulLength < sizeof achText) achText[ulLength] = c;
    ++ulLength;
  }
  void put(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) put(text[i]);
  }
  void put(const char* text) { put(text, std::strlen(text)); }
  bool fits() const { return ulLength <= sizeof achText; }
  std::size_t getLength() const { return ulLength; }
  const char* getText() const { return achText; }

private:
  // A header, an option line of LINE_LENGTH characters and their line ends.
  char achText[QelClIniFileText::LINE_LENGTH + QelClIniFileText::SECTION_NAME_LENGTH + 16] = {};
  std::size_t ulLength = 0;
};

// A value needs quotes when the model would read its plain text as something else: a
// ';' starts a comment, a double or single quote starts a quoted part, "$(" a variable,
// blanks at either end are trimmed, and a control character could end the line.
bool needsQuotes(const char* value) {
  const std::size_t length = std::strlen(value);
  if (length == 0) return false;
  if (isBlank(value[0]) || isBlank(value[length - 1]) || std::strstr(value, "$(") != nullptr) return true;
  for (const char* c = value; *c != '\0'; ++c) {
    if (*c == ';' || *c == '"' || *c == '\'' || isControl(*c)) return true;
  }
  return false;
}

// The value as the model reads it back: plain, or in double quotes with backslash
// escapes. A \x escape reads every hexadecimal digit behind it, so a hexadecimal digit
// that follows one starts a new quoted part ("\x01""A"), which the model joins.
void putValue(Composer& line, const char* value) {
  if (!needsQuotes(value)) {
    line.put(value);
    return;
  }
  static const char kHex[] = "0123456789abcdef";
  line.put('"');
  for (const char* c = value; *c != '\0'; ++c) {
    switch (*c) {
      case '\\': line.put("\\\\"); break;
      case '"': line.put("\\\""); break;
      case '\t': line.put("\\t"); break;
      case '\n': line.put("\\n"); break;
      case '\r': line.put("\\r"); break;
      default:
        if (!isControl(*c)) {
          line.put(*c);
          break;
        }
        line.put("\\x");
        line.put(kHex[static_cast<unsigned char>(*c) >> 4]);
        line.put(kHex[static_cast<unsigned char>(*c) & 0xF]);
        if (isHexDigit(c[1])) line.put("\"\"");
        break;
    }
  }
  line.put('"');
}

// Where the value that begins at value ends: at its unquoted ';' or at the end of the
// line. The same steps as QelClIniFileOption::processValue, so that a ';' inside quotes,
// a quoted character or a $(NAME) is passed over as the model passes it over.
const char* valueEnd(const char* value) {
  const char* c = value;
  while (*c != '\0' && *c != ';') {
    if (*c == '"') {
      for (++c; *c != '\0' && *c != '"';) {
        if (*c++ == '\\') static_cast<void>(qelIniFileGetEscCharacter(c));
      }
      if (*c == '"') ++c;
    } else if (*c == '\'') {
      static_cast<void>(qelIniFileGetQuotedCharacter(c));
    } else if (c[0] == '$' && c[1] == '(' && std::strchr(c + 2, ')') != nullptr) {
      c = std::strchr(c + 2, ')') + 1;
    } else {
      ++c;
    }
  }
  return c;
}

// The parts of an option line around its value.
struct OptionLine {
  OptionLine(const char* text, std::size_t begin, std::size_t size) {
    TextLines lines(text, size, begin);
    lines.next(clLine);
    const LineCopy copy(text, clLine);
    std::memcpy(szLine, copy.szLine, sizeof szLine);
    const char* const equals = std::strchr(szLine, '=');
    pcEquals = equals;
    pcNameEnd = equals;
    while (pcNameEnd > szLine && isBlank(pcNameEnd[-1])) --pcNameEnd;
    pcIndentEnd = szLine;
    while (isBlank(*pcIndentEnd)) ++pcIndentEnd;
    pcValue = equals + 1;
    while (isBlank(*pcValue)) ++pcValue;
    pcValueEnd = valueEnd(pcValue);
    while (pcValueEnd > pcValue && isBlank(pcValueEnd[-1])) --pcValueEnd;
  }

  // What goes between '=' and the value: the blanks there, or, where nothing follows
  // '=', one blank when there are blanks before it ("key =" gives "key = value").
  void putAfterEquals(Composer& line) const {
    if (*pcValue != '\0') {
      line.put(pcEquals + 1, static_cast<std::size_t>(pcValue - pcEquals - 1));
    } else if (pcNameEnd < pcEquals) {
      line.put(' ');
    }
  }

  TextLine clLine{};
  char szLine[QelClIniFileText::LINE_LENGTH + 1];
  const char* pcIndentEnd;  // the name's first character
  const char* pcNameEnd;    // behind the name's last character
  const char* pcEquals;
  const char* pcValue;     // the value's first character
  const char* pcValueEnd;  // behind its last, trailing blanks left out
};

// The line end the text uses: its first one; LF in a text without any.
const char* lineEndOf(const char* text, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] == '\n') return "\n";
    if (text[i] == '\r') return i + 1 < size && text[i + 1] == '\n' ? "\r\n" : "\r";
  }
  return "\n";
}

// The last line of a text that has one, behind begin, is blank. Its line end, if it has
// one, is LF, CR LF or a lone CR.
bool endsWithBlankLine(const char* text, std::size_t begin, std::size_t size) {
  std::size_t end = size;  // behind the last line's characters
  if (end > begin && text[end - 1] == '\n') --end;
  if (end > begin && text[end - 1] == '\r' && (end == size || text[end] == '\n')) --end;
  std::size_t first = end;
  while (first > begin && !isLineEnd(text[first - 1])) --first;
  for (std::size_t i = first; i < end; ++i) {
    if (!isBlank(text[i])) return false;
  }
  return true;
}

// A text the memory manager cannot hold in one block.
[[noreturn]] void throwTooLarge() {
  QEL_THROW(QelClExceptionFatal(MEMMGR_RUNTIME_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY,
                                QelEnErrorAction::TERMINATE, nullptr));
}

}  // namespace

QelClIniFileText::QelClIniFileText()
    : pcText(nullptr), ulSize(0), ulCapacity(0), bExamined(false), enFault(QelEnLineFault::NONE),
      ulFaultLine(0), pclLookup(nullptr) {}

QelClIniFileText::QelClIniFileText(const void* data, std::size_t size) : QelClIniFileText() { assign(data, size); }

QelClIniFileText::~QelClIniFileText() {
  delete pclLookup;
  if (pcText != nullptr) qelFree(pcText);
}

// The block grows by doubling, so that a file appended piece by piece is copied a few
// times only.
void QelClIniFileText::reserve(std::size_t size) {
  if (size <= ulCapacity) return;
  if (size > kLargestBlock) throwTooLarge();
  std::size_t capacity = ulCapacity < kFirstBlock ? kFirstBlock : ulCapacity;
  while (capacity < size) capacity = capacity > kLargestBlock / 2 ? kLargestBlock : capacity * 2;
  const auto blockSize = static_cast<unsigned int>(capacity);
  pcText = static_cast<char*>(pcText == nullptr ? qelMalloc(blockSize) : qelRealloc(pcText, blockSize));
  ulCapacity = capacity;
}

void QelClIniFileText::assign(const void* data, std::size_t size) {
  reserve(size);
  if (size != 0) std::memcpy(pcText, data, size);
  ulSize = size;
  bExamined = false;
}

void QelClIniFileText::append(const void* data, std::size_t size) {
  if (size > kLargestBlock - ulSize) throwTooLarge();
  reserve(ulSize + size);
  if (size != 0) std::memcpy(pcText + ulSize, data, size);
  ulSize += size;
  bExamined = false;
}

void QelClIniFileText::replace(std::size_t at, std::size_t length, const char* bytes, std::size_t count) {
  reserve(ulSize - length + count);
  std::memmove(pcText + at + count, pcText + at + length, ulSize - at - length);
  if (count != 0) std::memcpy(pcText + at, bytes, count);
  ulSize = ulSize - length + count;
  bExamined = false;
}

QelClIniFileText::QelEnLineFault QelClIniFileText::getFault() const {
  if (!bExamined) {
    enFault = QelEnLineFault::NONE;
    ulFaultLine = 0;
    TextLines lines(getText(), ulSize);
    TextLine line{};
    while (lines.next(line)) {
      if (line.kind == LineKind::FAULT) {
        enFault = line.fault;
        ulFaultLine = line.number;
        break;
      }
    }
    bExamined = true;
  }
  return enFault;
}

std::uint32_t QelClIniFileText::getFaultLine() const {
  getFault();
  return ulFaultLine;
}

bool QelClIniFileText::isValidSectionName(const char* name) {
  if (*name == '\0') return false;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c == ']' || isControl(*c)) return false;
  }
  return true;
}

bool QelClIniFileText::isValidOptionName(const char* name) {
  if (*name == '\0' || *name == ';' || *name == '#' || *name == '[') return false;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c == '=' || isBlank(*c) || isControl(*c)) return false;
  }
  return true;
}

// The model parses a value into the option's text behind the name and its zero, and ends
// it, zero included, within the first VALUE_END characters.
bool QelClIniFileText::fitsOption(const char* name, const char* value) {
  const std::size_t nameLength = std::strlen(name);
  return nameLength + 2 <= QelClIniFileOption::VALUE_END &&
         std::strlen(value) <= QelClIniFileOption::VALUE_END - 2 - nameLength;
}

QelClIniFileText::QelEnChange QelClIniFileText::refusal(const char* section, const char* option,
                                                        const char* value) const {
  if (!isValidSectionName(section) || (option != nullptr && !isValidOptionName(option))) {
    return QelEnChange::INVALID_NAME;
  }
  const bool fits = option == nullptr || value == nullptr || fitsOption(option, value);
  if (std::strlen(section) > SECTION_NAME_LENGTH || !fits) return QelEnChange::TOO_LONG;
  return isUnderstood() ? QelEnChange::CHANGED : QelEnChange::NOT_UNDERSTOOD;
}

bool QelClIniFileText::hasSection(const char* section) const {
  return locate(getText(), ulSize, section, nullptr).ulHeader != kNoPlace;
}

bool QelClIniFileText::getValue(const char* section, const char* option, const char*& value) const {
  const Place place = locate(getText(), ulSize, section, option);
  if (place.ulOption == kNoPlace) return false;
  QelClIniFileOption* const parsed = parseAt(getText(), ulSize, place.ulOption);
  delete pclLookup;
  pclLookup = parsed;
  value = parsed->getValue();
  return true;
}

QelClIniFileText::QelEnChange QelClIniFileText::setValue(const char* section, const char* option, const char* value) {
  const QelEnChange refused = refusal(section, option, value);
  if (refused != QelEnChange::CHANGED) return refused;
  const char* const text = getText();
  const Place place = locate(text, ulSize, section, option);
  const char* const lineEnd = lineEndOf(text, ulSize);
  Composer lines;

  if (place.ulOption != kNoPlace) {
    QelClIniFileOption* const old = parseAt(text, ulSize, place.ulOption);
    const bool same = std::strcmp(old->getValue(), value) == 0;
    delete old;
    if (same) return QelEnChange::UNCHANGED;
    // The line up to '=', the blanks behind it, the new value, then whatever followed
    // the old value (a comment, blanks) and the line's own end.
    const OptionLine line(text, place.ulOption, ulSize);
    lines.put(line.szLine, static_cast<std::size_t>(line.pcEquals + 1 - line.szLine));
    line.putAfterEquals(lines);
    putValue(lines, value);
    lines.put(line.pcValueEnd);
    if (lines.getLength() > LINE_LENGTH) return QelEnChange::TOO_LONG;
    const bool lastHasEnd = isLineEnd(text[place.ulOptionEnd - 1]);
    if (lastHasEnd) lines.put(text + line.clLine.end, line.clLine.next - line.clLine.end);
    replace(place.ulOption, place.ulOptionEnd - place.ulOption, lines.getText(), lines.getLength());
    return QelEnChange::CHANGED;
  }

  const std::size_t at = place.ulHeader != kNoPlace ? place.ulEnd : ulSize;
  const std::size_t contentStart = TextLines(text, ulSize).getPosition();
  if (at == ulSize && ulSize > contentStart && !isLineEnd(text[ulSize - 1])) lines.put(lineEnd);
  if (place.ulHeader == kNoPlace) {
    if (ulSize > contentStart && !endsWithBlankLine(text, contentStart, ulSize)) lines.put(lineEnd);
    lines.put('[');
    lines.put(section);
    lines.put(']');
    lines.put(lineEnd);
  }
  // Indented and separated as the section's last option, or "name = value".
  const std::size_t lineStart = lines.getLength();
  if (place.ulLastOption != kNoPlace) {
    const OptionLine last(text, place.ulLastOption, ulSize);
    lines.put(last.szLine, static_cast<std::size_t>(last.pcIndentEnd - last.szLine));
    lines.put(option);
    lines.put(last.pcNameEnd, static_cast<std::size_t>(last.pcEquals + 1 - last.pcNameEnd));
    last.putAfterEquals(lines);
  } else {
    lines.put(option);
    lines.put(" = ");
  }
  putValue(lines, value);
  if (lines.getLength() - lineStart > LINE_LENGTH || !lines.fits()) return QelEnChange::TOO_LONG;
  lines.put(lineEnd);
  replace(at, 0, lines.getText(), lines.getLength());
  return QelEnChange::CHANGED;
}

QelClIniFileText::QelEnChange QelClIniFileText::deleteOption(const char* section, const char* option) {
  return removeLines(section, option);
}

QelClIniFileText::QelEnChange QelClIniFileText::deleteSection(const char* section) {
  return removeLines(section, nullptr);
}

QelClIniFileText::QelEnChange QelClIniFileText::removeLines(const char* section, const char* option) {
  const QelEnChange refused = refusal(section, option, nullptr);
  if (refused != QelEnChange::CHANGED) return refused;
  const Place place = locate(getText(), ulSize, section, option);
  const std::size_t from = option != nullptr ? place.ulOption : place.ulHeader;
  if (from == kNoPlace) return QelEnChange::NOT_FOUND;
  replace(from, (option != nullptr ? place.ulOptionEnd : place.ulEnd) - from, nullptr, 0);
  return QelEnChange::CHANGED;
}
