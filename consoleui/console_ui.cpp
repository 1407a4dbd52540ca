// The frame's set-up: catalog, parameters, title, the built-in switches and the exits.
#include "qel_consoleui.h"

#include "qel_memory.h"
#include "messages/builtin_message_ids.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

const char* const gs_cpszLine =
    "--------------------------------------------------------------------------\n";
const char* const gs_cpszNoUsage = "";

namespace {

const char kCopyrightNotice[] =
    "vrnqel43 operating-system services library\n"
    "Copyright (C) the vrnqel43 developers. All rights reserved.";

}  // namespace

QelClConsoleUI::QelClConsoleUI(int argc, const char* const* argv, const char* title,
                               const char* subtitle, const char* level, const char* date)
    : ulMessageBase(0), lArgc(argc), ppszArgv(argv), pclParams(nullptr) {
  init(title, subtitle, level, date);
}

QelClConsoleUI::QelClConsoleUI(const QelClFilename& catalog, const char* const table[],
                               unsigned long entries, unsigned long messageBase, int argc,
                               const char* const* argv, unsigned long titleId,
                               unsigned long subtitleId, const char* level, const char* date)
    : clCatalog(catalog), ulMessageBase(static_cast<std::uint32_t>(messageBase)), lArgc(argc),
      ppszArgv(argv), pclParams(nullptr) {
  if (!clCatalog.isModuleLoaded() && table != nullptr) clCatalog.useStringTable(table, entries);
  init(titleId, subtitleId, level, date);
}

QelClConsoleUI::~QelClConsoleUI() {
  pclParams->~QelClConsoleUIParams();
  qelFree(pclParams);
}

const QelClMessageCatalog& QelClConsoleUI::getMessageCatalog() const { return clCatalog; }

QelClMessage QelClConsoleUI::text(unsigned long k) const {
  return QelClMessage(clCatalog, ulMessageBase + k);
}

void QelClConsoleUI::init(unsigned long titleId, unsigned long subtitleId, const char* level,
                          const char* date) {
  QelClMessage title(clCatalog, titleId);
  QelClMessage subtitle(clCatalog, subtitleId);
  const bool hasTitle = QelClMessageCatalog::isValidMessageId(titleId) && title.isFound();
  const bool hasSubtitle =
      QelClMessageCatalog::isValidMessageId(subtitleId) && subtitle.isFound();
  init(hasTitle ? title.getText() : nullptr, hasSubtitle ? subtitle.getText() : nullptr, level,
       date);
}

// Allocation never returns null (the allocator throws), so a frame always has its
// parameters once constructed.
void QelClConsoleUI::init(const char* title, const char* subtitle, const char* level,
                          const char* date) {
  void* block = qelMalloc(sizeof(QelClConsoleUIParams));
  pclParams = new (block) QelClConsoleUIParams(lArgc > 0 ? ppszArgv[0] : nullptr);
  if (clCatalog.isDefaultCatalog()) {
    unsigned long entries = 0;
    const char* const* table = qelMsgCatGetBuiltInTable(&entries);
    clCatalog.useStringTable(table, entries);
  }
  handleBuiltInSwitches(title, subtitle, level, date);
}

void QelClConsoleUI::handleBuiltInSwitches(const char* title, const char* subtitle,
                                           const char* level, const char* date) {
  bool copyright = false;
  if (clCatalog.hasTexts()) {
    QelClArgvCursor cursor(lArgc, ppszArgv);
    if (cursor.positionTo(text(qel::msg::kQuietSwitch).getText())) pclParams->setQuietMode();
    copyright = cursor.positionTo(text(qel::msg::kCopyrightSwitch).getText());
  }
  displayTitle(title, subtitle);
  if (copyright) {
    displayCopyright(level, date);
    privateProcessExit(201);
  }
}

void QelClConsoleUI::displayTitle(const char* title, const char* subtitle) {
  std::ostream& out = *pclParams->pclOutputStream;
  if (title != nullptr) out << '\n' << pclParams->szProcessName << " - " << title;
  if (subtitle != nullptr) out << "   " << subtitle;
  if (title != nullptr || subtitle != nullptr) out << '\n';
}

void QelClConsoleUI::displayCopyright(const char* level, const char* date) {
  pclParams->forceOutputStream(std::cout);
  formatHeader(text(qel::msg::kCopyright).getText());
  std::cout << "  ";
  QelClUsageCursor::display(std::cout, kCopyrightNotice, 2, false, false);
  formatHeader(text(qel::msg::kLevel).getText());
  format(text(qel::msg::kBuildLevel).getText(), qelLibraryGetLevel());
  format(text(qel::msg::kCompileDate).getText(), qelLibraryGetTod());
  if (level != nullptr) {
    formatHeader(text(qel::msg::kLevel).getText());
    format(text(qel::msg::kBuildLevel).getText(), level);
    format(text(qel::msg::kCompileDate).getText(), date != nullptr ? date : "");
  }
}

namespace {

char* copyText(const char* text) {
  char* copy = static_cast<char*>(qelMalloc(static_cast<unsigned int>(std::strlen(text) + 1)));
  return std::strcpy(copy, text);
}

}  // namespace

void QelClConsoleUI::setUsage(const char* usage, const char* help) {
  if (pclParams->pszUsage != gs_cpszNoUsage) qelFree(const_cast<char*>(pclParams->pszUsage));
  pclParams->pszUsage = copyText(usage);
  qelFree(pclParams->pszHelp);
  pclParams->pszHelp = help != nullptr ? copyText(help) : nullptr;
}

const char* QelClConsoleUI::getUsage() const { return pclParams->pszUsage; }
const char* QelClConsoleUI::getProcessName() const { return pclParams->szProcessName; }
std::ostream& QelClConsoleUI::getOutputStream() const { return *pclParams->pclOutputStream; }
void QelClConsoleUI::setOutputStream(std::ostream& stream) { pclParams->setOutputStream(stream); }
bool QelClConsoleUI::mustBeQuiet() const { return pclParams->bQuiet; }
void QelClConsoleUI::hideTaggedLines() { pclParams->bHideTaggedLines = true; }
void QelClConsoleUI::disableTaggedLines() { pclParams->bDisableTaggedLines = true; }
void QelClConsoleUI::setFormatWidth(unsigned int width) { pclParams->uiFormatWidth = width; }
void QelClConsoleUI::setFormatStyle(QelEnFormatStyle style) { pclParams->enFormatStyle = style; }
void QelClConsoleUI::setFormatFillChar(char fill) { pclParams->chFillChar = fill; }

void QelClConsoleUI::processExit(unsigned long code) {
  if (code != 0) beep();
  privateProcessExit(code);
}

// Ends the process without a beep: the displays that end with 201 (usage, help,
// copyright) answer a request or follow error lines that were shown already.
void QelClConsoleUI::privateProcessExit(unsigned long code) {
  pclParams->flushOutputStream();
  std::cout.flush();
  std::cerr.flush();
  std::exit(static_cast<int>(code));
}

void QelClConsoleUI::privateFatal(unsigned long code, const char* text, const char* part2,
                                  const char* part3) {
  header(std::cerr, this->text(qel::msg::kFatalErrorHeader).getText(), true);
  msg(std::cerr, text, part2, part3);
  processExit(code);
}
