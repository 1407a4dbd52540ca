// An option of the INI model: parsing of option lines and values, and changes.
#include <algorithm>
#include <cstring>

#include "inifile/ini_names.h"
#include "qel_inifile.h"

namespace {

// A writer into the option's text that never passes its limit: characters beyond it
// are dropped.
class BoundedText {
public:
  BoundedText(char* at, const char* limit) : pcAt(at), pcLimit(limit) {}
  void put(char c) {
    if (pcAt < pcLimit) *pcAt++ = c;
  }
  char* at() const { return pcAt; }
  void backTo(char* at) { pcAt = at; }

private:
  char* pcAt;
  const char* pcLimit;
};

}  // namespace

// The text is not cleared first: its 1028 bytes are more than most options use, and
// every text written into it is terminated.
QelClIniFileOption::QelClIniFileOption(const char* line)
    : pclNext(nullptr), pszValue(nullptr), pszComment(szText) {
  const char* c = line;
  char* name = szText;
  if (*c != '=') {
    // Whitespace inside the name is dropped.
    for (; *c != '\0' && *c != '='; ++c) {
      if (!qel::ini::isBlank(*c) && name < szText + MAX_NAME) *name++ = *c;
    }
    if (*c == '\0') {  // no '=': no value
      *name = '\0';
      return;
    }
  }
  *name = '\0';
  processValue(c + 1, name + 1);
}

// A name of 1023 or 1024 characters leaves the value no room: it starts behind the
// first 1024 characters, empty.
QelClIniFileOption::QelClIniFileOption(const char* name, const char* value) : pclNext(nullptr) {
  const std::size_t nameLength = std::min(std::strlen(name), std::size_t{MAX_GIVEN_NAME});
  std::memcpy(szText, name, nameLength);
  szText[nameLength] = '\0';
  pszValue = szText + nameLength + 1;
  const std::size_t room = nameLength + 1 < VALUE_END - 1 ? VALUE_END - 1 - (nameLength + 1) : 0;
  const std::size_t valueLength = std::min(std::strlen(value), room);
  std::memcpy(pszValue, value, valueLength);
  pszValue[valueLength] = '\0';
  pszComment = pszValue + valueLength + 1;
  *pszComment = '\0';
}

QelClIniFileOption::~QelClIniFileOption() {
  // The options behind are destroyed one after the other, not by recursion, so that a
  // long list does not exhaust the stack.
  QelClIniFileOption* next = pclNext;
  while (next != nullptr) {
    QelClIniFileOption* after = next->pclNext;
    next->pclNext = nullptr;
    delete next;
    next = after;
  }
}

void QelClIniFileOption::processValue(const char* source, char* destination) {
  const char* c = source;
  while (*c != '\0' && qel::ini::isBlank(*c)) ++c;
  pszValue = destination;
  BoundedText value(destination, szText + VALUE_END - 1);
  char* kept = destination;  // trailing whitespace is trimmed back to here at most
  while (*c != '\0' && *c != ';') {
    if (*c == '"') {
      for (++c; *c != '\0' && *c != '"';) {
        if (*c == '\\') {
          ++c;
          value.put(qelIniFileGetEscCharacter(c));
        } else {
          value.put(*c++);
        }
      }
      if (*c == '"') ++c;
      kept = value.at();
    } else if (*c == '\'') {
      value.put(qelIniFileGetQuotedCharacter(c));
      kept = value.at();
    } else if (c[0] == '$' && c[1] == '(' && std::strchr(c + 2, ')') != nullptr) {
      const char* close = std::strchr(c + 2, ')');
      char name[64] = {};
      const std::size_t length = static_cast<std::size_t>(close - (c + 2));
      if (length < sizeof name) std::memcpy(name, c + 2, length);
      QelClEnvironmentVariableQueryOnly variable;
      variable.setNewName(name);
      if (const char* inserted = length < sizeof name ? variable.getValue() : nullptr) {
        for (; *inserted != '\0'; ++inserted) value.put(*inserted);
      }
      kept = value.at();
      c = close + 1;
    } else {
      value.put(*c++);
    }
  }
  char* end = value.at();
  while (end > kept && qel::ini::isBlank(end[-1])) --end;
  *end = '\0';
  pszComment = end + 1;
  if (*c != ';') {
    *pszComment = '\0';
    return;
  }
  for (++c; *c != '\0' && qel::ini::isBlank(*c);) ++c;
  BoundedText comment(pszComment, szText + TEXT_SIZE - 1);
  for (; *c != '\0'; ++c) comment.put(*c);
  *comment.at() = '\0';
}

void QelClIniFileOption::appendOptionValue(const char* line) {
  if (pszValue == nullptr) return;
  char* const value = pszValue;
  processValue(line, pszValue + std::strlen(pszValue));
  pszValue = value;  // the value still starts where it did
}

void QelClIniFileOption::setNewValue(const char* value) {
  if (pszValue == nullptr) pszValue = szText + std::strlen(szText) + 1;
  const char* const end = szText + VALUE_END - 1;
  const std::size_t room = pszValue < end ? static_cast<std::size_t>(end - pszValue) : 0;
  const std::size_t length = std::min(std::strlen(value), room);
  std::memmove(pszValue, value, length);
  pszValue[length] = '\0';
  // A comment that the new value reached is no longer a text of its own.
  if (pszComment <= pszValue + length) {
    pszComment = pszValue + length + 1;
    *pszComment = '\0';
  }
}

void QelClIniFileOption::deleteContents() {
  szText[0] = '\0';
  pszValue = pszComment = szText;
}
