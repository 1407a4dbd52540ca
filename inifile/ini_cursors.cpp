// Cursors over the sections and options of the INI model, and the name and value
// rules they share with the file.
#include <cstdlib>

#include "inifile/ini_names.h"
#include "qel_inifile.h"
#include "qel_util.h"

namespace {
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool qel::ini::namesEqual(const char* a, const char* b) {
  for (; lower(*a) == lower(*b); ++a, ++b) {
    if (*a == '\0') return true;
  }
  return false;
}

bool qel::ini::isTrue(const char* value) {
  return qelStrFind("|ON|TRUE|YES|1|OK|", value, 1) != nullptr;
}

char qel::ini::quotedCharacter(const char* value) {
  const char* cursor = value;
  return qelIniFileGetQuotedCharacter(cursor);
}

QelClIniFileSectionCursor::QelClIniFileSectionCursor(const QelClIniFile& file)
    : pclFile(&file), pclFirst(file.getFirstSection()), pclCurrent(pclFirst) {}

QelClIniFileSectionCursor::~QelClIniFileSectionCursor() = default;

bool QelClIniFileSectionCursor::setToFirst() {
  pclCurrent = pclFirst;
  return isValid();
}

bool QelClIniFileSectionCursor::setToNext() {
  if (pclCurrent != nullptr) pclCurrent = pclCurrent->getNext();
  return isValid();
}

bool QelClIniFileSectionCursor::setTo(const char* name) {
  if (isValid() && matches(name)) return true;
  for (bool on = setToFirst(); on; on = setToNext()) {
    if (matches(name)) return true;
  }
  return false;
}

const char* QelClIniFileSectionCursor::getSection() const { return pclCurrent->getName(); }

bool QelClIniFileSectionCursor::matches(const char* name) const {
  return isValid() && qel::ini::namesEqual(pclCurrent->getName(), name);
}

QelClIniFileOptionCursor::QelClIniFileOptionCursor(const QelClIniFile& file)
    : QelClIniFileOptionCursor(file, file.getCurrentSection()) {}

QelClIniFileOptionCursor::QelClIniFileOptionCursor(const QelClIniFileSectionCursor& sections)
    : QelClIniFileOptionCursor(*sections.pclFile, sections.pclCurrent) {}

QelClIniFileOptionCursor::QelClIniFileOptionCursor(const QelClIniFile& file, const QelClIniFileSection* section)
    : pclFile(&file), pclSection(section), pclFirst(section != nullptr ? section->getFirstOption() : nullptr),
      pclCurrent(pclFirst) {}

QelClIniFileOptionCursor::~QelClIniFileOptionCursor() = default;

bool QelClIniFileOptionCursor::setToFirst() {
  pclCurrent = pclFirst;
  return isValid();
}

bool QelClIniFileOptionCursor::setToNext() {
  if (pclCurrent != nullptr) pclCurrent = pclCurrent->getNext();
  return isValid();
}

bool QelClIniFileOptionCursor::setTo(const char* name) {
  if (isValid() && matches(name)) return true;
  for (bool on = setToFirst(); on; on = setToNext()) {
    if (matches(name)) return true;
  }
  return false;
}

bool QelClIniFileOptionCursor::matches(const char* name) const {
  return isValid() && qel::ini::namesEqual(pclCurrent->getName(), name);
}

const char* QelClIniFileOptionCursor::getOption() const { return pclCurrent->getName(); }
const char* QelClIniFileOptionCursor::getValue() const { return pclCurrent->getValue(); }
const char* QelClIniFileOptionCursor::getComment() const { return pclCurrent->getComment(); }

const char* QelClIniFileOptionCursor::getValue(int& value) const {
  value = static_cast<int>(std::strtol(getValue(), nullptr, 10));
  return getValue();
}

const char* QelClIniFileOptionCursor::getValue(unsigned int& value) const {
  value = static_cast<unsigned int>(std::strtoul(getValue(), nullptr, 10));
  return getValue();
}

const char* QelClIniFileOptionCursor::getValue(long& value) const {
  value = std::strtol(getValue(), nullptr, 10);
  return getValue();
}

const char* QelClIniFileOptionCursor::getValue(unsigned long& value) const {
  value = std::strtoul(getValue(), nullptr, 10);
  return getValue();
}

const char* QelClIniFileOptionCursor::getValue(char& value) const {
  value = qel::ini::quotedCharacter(getValue());
  return getValue();
}

const char* QelClIniFileOptionCursor::getValueBool(bool& value) const {
  value = qel::ini::isTrue(getValue());
  return getValue();
}
