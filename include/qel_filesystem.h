// vrnqel43: the file system family: environment variables.
#ifndef VRNQEL43_QEL_FILESYSTEM_H
#define VRNQEL43_QEL_FILESYSTEM_H

#include "qel_base.h"

// ---- Environment variables -------------------------------------------------------
// A named variable of the process environment, read afresh at every query.
// Names are at most 40 characters; a longer name is refused: the object then names
// no variable, its queries report the variable unset and its changes fail.
class QEL_API QelClEnvironmentVariableABase {
public:
  bool hasValue() const;
  // Set, and its value is ON, YES, TRUE or 1 in any case.
  bool hasValueEnabled() const;
  // The runtime's text, valid until the environment changes; null when unset.
  const char* getValue() const;

protected:
  explicit QelClEnvironmentVariableABase(const char* name);
  void initName(const char* name);

  char szName[41];
  char szDefinition[303];
};

class QEL_API QelClEnvironmentVariableQueryOnly : public QelClEnvironmentVariableABase {
public:
  QelClEnvironmentVariableQueryOnly();
  explicit QelClEnvironmentVariableQueryOnly(const QelClEnvironmentVariableABase& other);
  void setNewName(const char* name);
};

// Sets, extends and resets a variable of the running process. A definition (name,
// "=" and value) longer than 302 characters is refused and changes nothing.
class QEL_API QelClEnvironmentVariable : public QelClEnvironmentVariableABase {
public:
  QelClEnvironmentVariable(const char* name, const char* value);
  // An empty value removes the variable. A null value hands over the name alone,
  // which changes nothing and returns false.
  bool setNewValue(const char* value);
  // Puts value directly behind the current value (or alone when the variable is unset).
  bool appendValue(const char* value);
  // Hands over the name alone: changes nothing.
  void resetValue();

private:
  bool putDefinition(const char* value, const char* appended);
};

#endif
