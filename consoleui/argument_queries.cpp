// Switch queries: presence, string values and numeric values; the req forms end the
// process when the switch is missing.
#include "qel_consoleui.h"
#include "messages/builtin_message_ids.h"

#include <cctype>
#include <cstdlib>
#include <iostream>

bool QelClConsoleUI::hasArgSwitch(const char* name) {
  return QelClArgvCursor(lArgc, ppszArgv).positionTo(name);
}

// A value is the argument after the switch; "-5" counts as a value, "-x" does not.
bool QelClConsoleUI::hasArgString(const char* name, const char*& value) {
  QelClArgvCursor cursor(lArgc, ppszArgv);
  if (!cursor.positionTo(name)) return false;
  if (!cursor.setToNext() || cursor.isSwitch()) privateFatal(203, text(qel::msg::kMissingValue).getText(), name);
  value = cursor.getAsCString();
  return true;
}

// Any argument after the switch is its value; one leading apostrophe is skipped so
// that a value can be written that a shell would take otherwise.
bool QelClConsoleUI::hasArgNumval(const char* name, long& value) {
  QelClArgvCursor cursor(lArgc, ppszArgv);
  if (!cursor.positionTo(name)) return false;
  if (!cursor.setToNext()) privateFatal(203, text(qel::msg::kMissingNumber).getText(), name);
  const char* number = cursor.getAsCString();
  if (*number == '\'') ++number;
  if (!std::isdigit(static_cast<unsigned char>(*number)) && *number != '-')
    privateFatal(204, text(qel::msg::kNonNumericValue).getText(), name);
  value = std::strtol(number, nullptr, 10);
  return true;
}

bool QelClConsoleUI::hasArgNumval(const char* name, int& value) {
  long number = 0;
  if (!hasArgNumval(name, number)) return false;
  value = static_cast<int>(number);
  return true;
}

bool QelClConsoleUI::hasArgNumval(const char* name, short& value) {
  long number = 0;
  if (!hasArgNumval(name, number)) return false;
  value = static_cast<short>(number);
  return true;
}

void QelClConsoleUI::reqArgSwitch(const char* name) {
  if (!hasArgSwitch(name)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgString(const char* name, const char*& value) {
  if (!hasArgString(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgNumval(const char* name, long& value) {
  if (!hasArgNumval(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgNumval(const char* name, int& value) {
  if (!hasArgNumval(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgNumval(const char* name, short& value) {
  if (!hasArgNumval(name, value)) fatalMissingArg(name);
}

// The one-character and message-id keys name the switch for the text form; a
// missing one-character switch is reported as "-c".
bool QelClConsoleUI::hasArgSwitch(char name) {
  const char spelled[2] = {name, '\0'};
  return hasArgSwitch(spelled);
}
bool QelClConsoleUI::hasArgSwitch(unsigned long id) {
  const QelClMessage name(clCatalog, id);
  return hasArgSwitch(name.getText());
}
bool QelClConsoleUI::hasArgString(char name, const char*& value) {
  const char spelled[2] = {name, '\0'};
  return hasArgString(spelled, value);
}
bool QelClConsoleUI::hasArgString(unsigned long id, const char*& value) {
  const QelClMessage name(clCatalog, id);
  return hasArgString(name.getText(), value);
}
bool QelClConsoleUI::hasArgNumval(char name, long& value) {
  const char spelled[2] = {name, '\0'};
  return hasArgNumval(spelled, value);
}
bool QelClConsoleUI::hasArgNumval(unsigned long id, long& value) {
  const QelClMessage name(clCatalog, id);
  return hasArgNumval(name.getText(), value);
}
bool QelClConsoleUI::hasArgNumval(char name, int& value) {
  const char spelled[2] = {name, '\0'};
  return hasArgNumval(spelled, value);
}
bool QelClConsoleUI::hasArgNumval(unsigned long id, int& value) {
  const QelClMessage name(clCatalog, id);
  return hasArgNumval(name.getText(), value);
}
bool QelClConsoleUI::hasArgNumval(char name, short& value) {
  const char spelled[2] = {name, '\0'};
  return hasArgNumval(spelled, value);
}
bool QelClConsoleUI::hasArgNumval(unsigned long id, short& value) {
  const QelClMessage name(clCatalog, id);
  return hasArgNumval(name.getText(), value);
}
void QelClConsoleUI::reqArgSwitch(char name) {
  if (!hasArgSwitch(name)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgSwitch(unsigned long id) {
  const QelClMessage name(clCatalog, id);
  if (!hasArgSwitch(name.getText())) fatalMissingArg(name.getText());
}
void QelClConsoleUI::reqArgString(char name, const char*& value) {
  if (!hasArgString(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgString(unsigned long id, const char*& value) {
  const QelClMessage name(clCatalog, id);
  if (!hasArgString(name.getText(), value)) fatalMissingArg(name.getText());
}
void QelClConsoleUI::reqArgNumval(char name, long& value) {
  if (!hasArgNumval(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgNumval(unsigned long id, long& value) {
  const QelClMessage name(clCatalog, id);
  if (!hasArgNumval(name.getText(), value)) fatalMissingArg(name.getText());
}
void QelClConsoleUI::reqArgNumval(char name, int& value) {
  if (!hasArgNumval(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgNumval(unsigned long id, int& value) {
  const QelClMessage name(clCatalog, id);
  if (!hasArgNumval(name.getText(), value)) fatalMissingArg(name.getText());
}
void QelClConsoleUI::reqArgNumval(char name, short& value) {
  if (!hasArgNumval(name, value)) fatalMissingArg(name);
}
void QelClConsoleUI::reqArgNumval(unsigned long id, short& value) {
  const QelClMessage name(clCatalog, id);
  if (!hasArgNumval(name.getText(), value)) fatalMissingArg(name.getText());
}

void QelClConsoleUI::fatalMissingArg(char name) {
  const char spelled[3] = {'-', name, '\0'};
  fatalMissingArg(spelled);
}

// Without a usage text: exit 202. With one: the error, a pointer to -h and the usage,
// then exit 201.
void QelClConsoleUI::fatalMissingArg(const char* name) {
  if (pclParams->pszUsage == gs_cpszNoUsage) privateFatal(202, text(qel::msg::kMissingSwitch).getText(), name);
  header(std::cerr, text(qel::msg::kFatalErrorHeader).getText(), true);
  msg(std::cerr, text(qel::msg::kMissingSwitch).getText(), name);
  indent(std::cerr);
  msg(std::cerr, text(qel::msg::kHelpHint).getText());
  displayUsageAndExit();
}
