// Lookups and changes of the INI model, by name and through cursors.
#include <cstdlib>

#include "inifile/ini_names.h"
#include "qel_inifile.h"

bool QelClIniFile::getSection(const char* name) const {
  QelClIniFileSectionCursor sections(*this);
  pclCurrentSection = sections.setTo(name) ? sections.pclCurrent : nullptr;
  return pclCurrentSection != nullptr;
}

const QelClIniFileOption* QelClIniFile::findOption(const char* name) const {
  QelClIniFileOptionCursor options(*this);
  return options.setTo(name) ? options.pclCurrent : nullptr;
}

QelClIniFileOption* QelClIniFile::findOption(const char* section, const char* name) const {
  QelClIniFileSectionCursor sections(*this);
  if (!sections.setTo(section)) return nullptr;
  QelClIniFileOptionCursor options(sections);
  return options.setTo(name) ? options.pclCurrent : nullptr;
}

namespace {

// A lookup that stores the converted value (and the comment) when the option exists.
template <typename Convert>
bool lookUp(const QelClIniFileOption* option, Convert convert, const char** comment) {
  if (option == nullptr) return false;
  convert(option->getValue());
  if (comment != nullptr) *comment = option->getComment();
  return true;
}

}  // namespace

bool QelClIniFile::getOption(const char* name, const char*& value) const {
  return lookUp(findOption(name), [&](const char* text) { value = text; }, nullptr);
}
bool QelClIniFile::getOption(const char* name, const char*& value, const char*& comment) const {
  return lookUp(findOption(name), [&](const char* text) { value = text; }, &comment);
}
bool QelClIniFile::getOption(const char* name, long& value) const {
  return lookUp(findOption(name), [&](const char* text) { value = std::strtol(text, nullptr, 10); }, nullptr);
}
bool QelClIniFile::getOption(const char* name, long& value, const char*& comment) const {
  return lookUp(findOption(name), [&](const char* text) { value = std::strtol(text, nullptr, 10); }, &comment);
}
bool QelClIniFile::getOption(const char* name, unsigned long& value) const {
  return lookUp(findOption(name), [&](const char* text) { value = std::strtoul(text, nullptr, 10); }, nullptr);
}
bool QelClIniFile::getOption(const char* name, unsigned long& value, const char*& comment) const {
  return lookUp(findOption(name), [&](const char* text) { value = std::strtoul(text, nullptr, 10); }, &comment);
}
bool QelClIniFile::getOption(const char* name, unsigned int& value) const {
  const auto convert = [&](const char* text) { value = static_cast<unsigned int>(std::strtoul(text, nullptr, 10)); };
  return lookUp(findOption(name), convert, nullptr);
}
bool QelClIniFile::getOption(const char* name, unsigned int& value, const char*& comment) const {
  const auto convert = [&](const char* text) { value = static_cast<unsigned int>(std::strtoul(text, nullptr, 10)); };
  return lookUp(findOption(name), convert, &comment);
}
bool QelClIniFile::getOption(const char* name, int& value) const {
  return lookUp(findOption(name), [&](const char* text) { value = static_cast<int>(std::strtol(text, nullptr, 10)); }, nullptr);
}
bool QelClIniFile::getOption(const char* name, int& value, const char*& comment) const {
  return lookUp(findOption(name), [&](const char* text) { value = static_cast<int>(std::strtol(text, nullptr, 10)); }, &comment);
}
bool QelClIniFile::getOption(const char* name, char& value) const {
  return lookUp(findOption(name), [&](const char* text) { value = qel::ini::quotedCharacter(text); }, nullptr);
}
bool QelClIniFile::getOption(const char* name, char& value, const char*& comment) const {
  return lookUp(findOption(name), [&](const char* text) { value = qel::ini::quotedCharacter(text); }, &comment);
}
bool QelClIniFile::getOptionBool(const char* name, bool& value) const {
  return lookUp(findOption(name), [&](const char* text) { value = qel::ini::isTrue(text); }, nullptr);
}
bool QelClIniFile::getOptionBool(const char* name, bool& value, const char*& comment) const {
  return lookUp(findOption(name), [&](const char* text) { value = qel::ini::isTrue(text); }, &comment);
}

bool QelClIniFile::addSection(const char* name) {
  addSection(new (clNodes) QelClIniFileSection(name));
  return true;
}

bool QelClIniFile::addOption(const char* section, const char* name, const char* value) {
  QelClIniFileSectionCursor sections(*this);
  return sections.setTo(section) && addOption(sections, name, value);
}

bool QelClIniFile::addOption(const QelClIniFileSectionCursor& section, const char* name, const char* value) {
  if (!section.isValid()) return false;
  QelClIniFileOptionCursor options(section);
  if (options.setTo(name)) return false;
  QelClIniFileSection* const current = pclCurrentSection;
  pclCurrentSection = section.pclCurrent;
  addOption(new (clNodes) QelClIniFileOption(name, value));
  pclCurrentSection = current;
  return true;
}

bool QelClIniFile::deleteSection(const char* name) {
  QelClIniFileSectionCursor sections(*this);
  return sections.setTo(name) && deleteSection(sections);
}

bool QelClIniFile::deleteSection(const QelClIniFileSectionCursor& section) {
  if (!section.isValid()) return false;
  if (pclTailSection == section.pclCurrent) pclTailSection = nullptr;  // its options go
  section.pclCurrent->deleteContents();
  return true;
}

bool QelClIniFile::deleteOption(const char* section, const char* name) {
  QelClIniFileOption* option = findOption(section, name);
  if (option != nullptr) option->deleteContents();
  return option != nullptr;
}

bool QelClIniFile::deleteOption(const QelClIniFileSectionCursor& section, const char* name) {
  QelClIniFileOptionCursor options(section);
  return options.setTo(name) && deleteOption(options);
}

bool QelClIniFile::deleteOption(const QelClIniFileOptionCursor& option) {
  if (!option.isValid()) return false;
  option.pclCurrent->deleteContents();
  return true;
}

bool QelClIniFile::setNewValue(const char* section, const char* name, const char* value) {
  QelClIniFileOption* option = findOption(section, name);
  if (option != nullptr) option->setNewValue(value);
  return option != nullptr;
}

bool QelClIniFile::setNewValue(const QelClIniFileSectionCursor& section, const char* name, const char* value) {
  QelClIniFileOptionCursor options(section);
  return options.setTo(name) && setNewValue(options, value);
}

bool QelClIniFile::setNewValue(const QelClIniFileOptionCursor& option, const char* value) {
  if (!option.isValid()) return false;
  option.pclCurrent->setNewValue(value);
  return true;
}
