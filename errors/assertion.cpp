// Assertion reports and source-located trace prints.
#include "qel_errors.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "errors/enabled_value.h"
#include "platform/platform.h"

namespace {

// Whether QEL_NO_ASSERT_POPUP was read: only the first assertion of a process does.
bool g_bAssertionPopupChecked = false;

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

// The name part of a source path, behind its last separator (either slash, or a drive's colon).
const char* nameOf(const char* path) {
  const char* name = path;
  for (const char* at = path; *at != '\0'; ++at) {
    if (*at == '/' || *at == '\\' || *at == ':') name = at + 1;
  }
  return name;
}

}  // namespace

void qel__assert(const char* expression, const char* file, unsigned int line) {
  qel__assert_msg(expression, file, line, nullptr, nullptr);
}

void qel__assert_msg(const char* expression, const char* file, unsigned int line,
                     const char* function, const char* message) {
  std::ostringstream report;
  report << "\n*** INTERNAL ERROR OCCURED ***\n";
  if (message != nullptr) {
    report << "*** " << message << " ***\n";
    if (function != nullptr) report << "***         FUNCTION: " << function << '\n';
  }
  report << "*** ASSERTION FAILED: " << orEmpty(expression) << '\n'
         << "***             LINE: " << line << '\n'
         << "***           MODULE: " << orEmpty(file) << '\n'
         << "***       PROCESS ID: " << qel::platform::currentProcessId() << '\n'
         << '\n';
  const std::string text = report.str();
  std::cerr << text << std::endl;

  if (!g_bAssertionPopupChecked) {
    g_bAssertionPopupChecked = true;
    if (qel::errors::isEnabledValue(std::getenv("QEL_NO_ASSERT_POPUP"))) std::abort();
  }
  qel::platform::showAssertionBox(text.c_str(), "Internal error occured: Assertion failed!");
  std::abort();
}

void qel_tprint(std::ostream& out, const char* file, int line) {
  out << '[' << nameOf(orEmpty(file)) << ':' << line << "] ";
}

void qel_tprintf(const char* file, int line, const char* format, ...) {
  std::printf("[%s: %d] ", orEmpty(file), line);
  va_list arguments;  // NOLINT(cppcoreguidelines-init-variables): va_start sets it
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  if (std::strchr(format, '\n') == nullptr) std::putchar('\n');
  static_cast<void>(std::fflush(stdout));  // a print for the developer: nothing to report to
}
