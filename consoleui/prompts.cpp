// Prompts on standard output and input, the key wait and the progress spinner.
#include "qel_consoleui.h"

#include "qel_util.h"
#include "platform/platform.h"
#include "messages/builtin_message_ids.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

const std::size_t kAnswerCapacity = 80;

// One line of standard input into answer (at most 80 characters kept, the rest of
// the line is read and dropped; a carriage return before the line end is removed).
// False when the input had ended before anything was read.
bool readLine(char* answer) {
  std::size_t length = 0;
  bool readSomething = false;
  for (int c = std::cin.get(); c != std::char_traits<char>::eof(); c = std::cin.get()) {
    readSomething = true;
    if (c == '\n') break;
    if (length < kAnswerCapacity) answer[length++] = static_cast<char>(c);
  }
  if (length > 0 && answer[length - 1] == '\r') --length;
  answer[length] = '\0';
  return readSomething;
}

}  // namespace

const char* QelClConsoleUI::prompt(const char* text, const char* range,
                                   const char* defaultValue) {
  std::cout << gs_cpszLine << ' ' << text;
  if (range != nullptr) std::cout << " (" << range << ')';
  std::cout << ":\n";
  if (defaultValue != nullptr)
    std::cout << " (" << this->text(qel::msg::kDefault).getText() << ": " << defaultValue << "): ";
  else
    std::cout << ' ';
  std::cout.flush();
  char* answer = pclParams->achAnswer;
  readLine(answer);
  if (answer[0] == '\0' && defaultValue != nullptr) {
    std::strncpy(answer, defaultValue, kAnswerCapacity);
    answer[kAnswerCapacity] = '\0';
  }
  return answer;
}

const char* QelClConsoleUI::promptString(const char* text, const char* defaultValue) {
  return prompt(text, nullptr, defaultValue);
}

const char* QelClConsoleUI::promptString(unsigned long id, const char* defaultValue) {
  const QelClMessage message(clCatalog, id);
  return promptString(message.getText(), defaultValue);
}

// At the end of input the answer is the default; when even that is rejected, the
// error is shown once and the default returned as given, since asking again could
// never get another answer.
long QelClConsoleUI::promptNumval(const char* text, long min, long max, long defaultValue) {
  char minText[24];
  char maxText[24];
  char defaultText[24];
  qelLtoa(min, minText);
  qelLtoa(max, maxText);
  qelLtoa(defaultValue, defaultText);
  // Every piece is cut to the room left: the texts come from the application's catalog.
  char range[96] = "";
  std::strncat(range, this->text(qel::msg::kMinimum).getText(), sizeof(range) - std::strlen(range) - 1);
  std::strncat(range, ": ", sizeof(range) - std::strlen(range) - 1);
  std::strncat(range, minText, sizeof(range) - std::strlen(range) - 1);
  std::strncat(range, ", ", sizeof(range) - std::strlen(range) - 1);
  std::strncat(range, this->text(qel::msg::kMaximum).getText(), sizeof(range) - std::strlen(range) - 1);
  std::strncat(range, ": ", sizeof(range) - std::strlen(range) - 1);
  std::strncat(range, maxText, sizeof(range) - std::strlen(range) - 1);
  for (;;) {
    const char* answer = prompt(text, range, defaultText);
    const char first = answer[0] == '-' ? answer[1] : answer[0];
    if (std::isdigit(static_cast<unsigned char>(first))) {
      const long value = std::strtol(answer, nullptr, 10);
      if (min <= value && value <= max) return value;
      error(std::cout, this->text(qel::msg::kInvalidValue).getText(), this->text(qel::msg::kEnterWithinLimits).getText(), nullptr);
    } else {
      error(std::cout, this->text(qel::msg::kInvalidValue).getText(), this->text(qel::msg::kEnterNumber).getText(), nullptr);
    }
    if (std::cin.eof()) return defaultValue;
  }
}

long QelClConsoleUI::promptNumval(unsigned long id, long min, long max, long defaultValue) {
  const QelClMessage message(clCatalog, id);
  return promptNumval(message.getText(), min, max, defaultValue);
}

bool QelClConsoleUI::promptYesNo(const char* text, bool defaultValue) {
  const char yes = this->text(qel::msg::kYes).getText()[0];
  const char no = this->text(qel::msg::kNo).getText()[0];
  const char defaultText[2] = {defaultValue ? yes : no, '\0'};
  const QelClMessage choices = this->text(qel::msg::kYesNo);
  for (;;) {
    const char* answer = prompt(text, choices.getText(), defaultText);
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(answer[0])));
    if (letter == yes) return true;
    if (letter == no) return false;
    error(std::cout, this->text(qel::msg::kInvalidValue).getText(), this->text(qel::msg::kPleaseUse).getText(), choices.getText());
    if (std::cin.eof()) return defaultValue;
  }
}

bool QelClConsoleUI::promptYesNo(unsigned long id, bool defaultValue) {
  const QelClMessage message(clCatalog, id);
  return promptYesNo(message.getText(), defaultValue);
}

void QelClConsoleUI::promptForKey() {
  std::cout << ' ' << text(qel::msg::kPressAnyKey).getText() << '\n';
  std::cout.flush();
  std::cerr.flush();
  qel::platform::readKey();
}

void QelClConsoleUI::progressStart() { pclParams->ulProgressStep = 0; }

void QelClConsoleUI::progressStep(const char* text) {
  static const char kSpinner[] = {'|', '/', '-', '\\'};
  if (pclParams->ulProgressStep >= 4) pclParams->ulProgressStep = 0;
  std::ostream& out = *pclParams->pclOutputStream;
  out << "\r " << kSpinner[pclParams->ulProgressStep] << ' ';
  if (text != nullptr) out << text << ' ';
  pclParams->flushOutputStream();
  ++pclParams->ulProgressStep;
}

void QelClConsoleUI::progressStop() {
  std::ostream& out = *pclParams->pclOutputStream;
  out << '\r';
  indent(out, 80, ' ');
  out << '\r';
}
