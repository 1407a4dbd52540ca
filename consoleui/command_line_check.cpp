// The command-line check against the usage text, and the usage and help displays.
#include "qel_consoleui.h"
#include "messages/builtin_message_ids.h"

#include <cstring>
#include <iostream>

void QelClConsoleUI::handleUsageHelp(const char* usage, const char* help) {
  setUsage(usage, help);
  handleHelp();
  const QelClMessage quiet = text(qel::msg::kQuietSwitch);
  QelClArgvCheckCursor cursor(lArgc, ppszArgv, pclParams->pszUsage);
  unsigned long errors = 0;
  for (bool valid = cursor.setToFirst(); valid; valid = cursor.setToNext()) {
    const char* argument = cursor.getAsCString();
    if (!cursor.isLegal() && !cursor.matches(quiet.getText())) {
      error(std::cerr, text(qel::msg::kUnknownArgument).getText(), argument, nullptr);
      ++errors;
      continue;
    }
    if (pclParams->bDisableTaggedLines && cursor.isTagged()) {
      error(std::cerr, text(qel::msg::kArgumentNotAllowed).getText(), argument, nullptr);
      ++errors;
    }
    if (!cursor.isSwitch()) continue;
    QelClArgvCursor later(cursor);  // NOLINT(cppcoreguidelines-slicing): a plain cursor from the same position
    while (later.setToNext()) {
      if (later.matches(argument)) {
        error(std::cerr, text(qel::msg::kRepeatedArgument).getText(), argument, nullptr);
        ++errors;
      }
    }
  }
  if (errors != 0) displayUsageAndExit();
}

void QelClConsoleUI::handleUsageHelp(unsigned long usageId, unsigned long helpId) {
  const QelClMessage usage(clCatalog, usageId);
  const QelClMessage help(clCatalog, helpId);
  handleUsageHelp(usage.getText(),
                  QelClMessageCatalog::isValidMessageId(helpId) ? help.getText() : nullptr);
}

// Any of -h, -H, -? wins over every error of the command line.
void QelClConsoleUI::handleHelp() {
  const QelClMessage letters = text(qel::msg::kHelpLetters);
  QelClArgvCursor cursor(lArgc, ppszArgv);
  for (const char* letter = letters.getText(); *letter != '\0'; ++letter) {
    const char name[2] = {*letter, '\0'};
    if (cursor.positionTo(name)) {
      displayUsage(false);
      displayHelp(true);
    }
  }
}

void QelClConsoleUI::displayUsageAndExit() {
  displayUsage(false);
  std::cout << '\n';
  privateProcessExit(201);
}

void QelClConsoleUI::displayUsage(bool exitAfter) {
  if (exitAfter) displayUsageAndExit();
  const QelClMessage usage = text(qel::msg::kUsage);
  const unsigned long indentation =
      static_cast<unsigned long>(std::strlen(usage.getText())) + pclParams->ulProcessNameLength +
      3;
  std::cout << '\n' << usage.getText() << ": " << pclParams->szProcessName;
  if (clCatalog.hasTexts()) {
    const QelClMessage letters = text(qel::msg::kHelpLetters);
    std::cout << " [";
    for (const char* letter = letters.getText(); *letter != '\0'; ++letter) {
      std::cout << '-' << *letter;
      if (letter[1] != '\0') std::cout << '|';
    }
    std::cout << "|-" << text(qel::msg::kCopyrightSwitch).getText() << "] [-" << text(qel::msg::kQuietSwitch).getText() << "]\n";
  }
  indent(std::cout, indentation, ' ');
  QelClUsageCursor::display(std::cout, pclParams->pszUsage, indentation, true,
                            pclParams->bHideTaggedLines || pclParams->bDisableTaggedLines);
  std::cout.flush();
}

void QelClConsoleUI::displayHelp(bool exitAfter) {
  const bool hide = pclParams->bHideTaggedLines || pclParams->bDisableTaggedLines;
  if (pclParams->pszHelp != nullptr) {
    const QelClMessage help = text(qel::msg::kHelp);
    std::cout << '\n' << help.getText() << ": ";
    QelClUsageCursor::display(std::cout, pclParams->pszHelp,
                              static_cast<unsigned long>(std::strlen(help.getText())) + 2, false,
                              hide);
  } else {
    indent(std::cout);
    QelClUsageCursor::display(std::cout, text(qel::msg::kNoHelp).getText(), 0, false, hide);
  }
  std::cout.flush();
  if (exitAfter) privateProcessExit(201);
}

void QelClConsoleUI::displayUsageHelp(const char* usage, const char* help, bool exitAfter) {
  setUsage(usage, help);
  displayUsage(false);
  displayHelp(exitAfter);
}
