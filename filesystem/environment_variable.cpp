// Environment variables of the running process.
#include "qel_filesystem.h"

#include <cstdlib>
#include <cstring>

#include "errors/enabled_value.h"
#include "platform/platform.h"

QelClEnvironmentVariableABase::QelClEnvironmentVariableABase(const char* name) : szDefinition{} {
  initName(name);
}

void QelClEnvironmentVariableABase::initName(const char* name) {
  const std::size_t length = name != nullptr ? std::strlen(name) : 0;
  if (length == 0 || length >= sizeof szName) {  // memcpy takes no null source
    szName[0] = '\0';
    return;
  }
  std::memcpy(szName, name, length);
  szName[length] = '\0';
}

const char* QelClEnvironmentVariableABase::getValue() const {
  return szName[0] != '\0' ? std::getenv(szName) : nullptr;
}

bool QelClEnvironmentVariableABase::hasValue() const { return getValue() != nullptr; }

bool QelClEnvironmentVariableABase::hasValueEnabled() const { return qel::errors::isEnabledValue(getValue()); }

QelClEnvironmentVariableQueryOnly::QelClEnvironmentVariableQueryOnly()
    : QelClEnvironmentVariableABase("?") {}

QelClEnvironmentVariableQueryOnly::QelClEnvironmentVariableQueryOnly(
    const QelClEnvironmentVariableABase& other)
    : QelClEnvironmentVariableABase(other) {}

void QelClEnvironmentVariableQueryOnly::setNewName(const char* name) { initName(name); }

QelClEnvironmentVariable::QelClEnvironmentVariable(const char* name, const char* value)
    : QelClEnvironmentVariableABase(name) {
  setNewValue(value);
}

bool QelClEnvironmentVariable::setNewValue(const char* value) { return putDefinition(value, ""); }

bool QelClEnvironmentVariable::appendValue(const char* value) {
  const char* current = getValue();
  return putDefinition(current != nullptr ? current : "", value != nullptr ? value : "");
}

void QelClEnvironmentVariable::resetValue() { putDefinition(nullptr, ""); }

// Builds "name=value+appended" (or the name alone for a null value) and hands it to
// the runtime. value may point into the environment itself, so it is copied first.
bool QelClEnvironmentVariable::putDefinition(const char* value, const char* appended) {
  if (szName[0] == '\0') return false;
  const std::size_t nameLength = std::strlen(szName);
  std::size_t length = nameLength;
  if (value != nullptr) {
    const std::size_t valueLength = std::strlen(value);
    const std::size_t appendedLength = std::strlen(appended);
    if (nameLength + 1 + valueLength + appendedLength >= sizeof szDefinition) return false;
    szDefinition[length++] = '=';
    std::memmove(szDefinition + length, value, valueLength);
    length += valueLength;
    std::memcpy(szDefinition + length, appended, appendedLength);
    length += appendedLength;
  }
  std::memcpy(szDefinition, szName, nameLength);
  szDefinition[length] = '\0';
  return static_cast<bool>(qel::platform::putEnvironment(szDefinition));
}
