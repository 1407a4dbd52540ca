// The frame's settings: process name, streams, format and the quiet mode.
#include "qel_consoleui.h"

#include "qel_filesystem.h"
#include "qel_memory.h"
#include "platform/platform.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <new>

namespace {

const std::size_t kProcessNameCapacity = 25;

bool quoteStringsEnabled() {
  QelClEnvironmentVariableQueryOnly variable;
  variable.setNewName("QEL_CONSOLEUI_QUOTE_STRINGS");
  return variable.hasValueEnabled();
}

}  // namespace

// The process name is the last component of the program path (after either
// separator), cut to 25 characters, then at its first dot, upper-cased.
QelClConsoleUIParams::QelClConsoleUIParams(const char* programPath)
    : pszUsage(gs_cpszNoUsage), pszHelp(nullptr), achAnswer(), szProcessName(),
      ulProcessNameLength(0), ulProgressStep(0), bQuiet(false), bHideTaggedLines(false),
      bDisableTaggedLines(false),
      bQuoteStrings(quoteStringsEnabled()),
      uiFormatWidth(36), enFormatStyle(QelClConsoleUI::LEFT_FILLED), chFillChar('.'),
      pclOutputStream(&std::cout), pclErrorStream(&std::cerr), pclQuietStream(nullptr) {
  const char* name = programPath != nullptr ? programPath : "";
  for (const char* p = name; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  std::size_t length = 0;
  while (length < kProcessNameCapacity && name[length] != '\0') ++length;
  for (std::size_t i = 0; i < length && name[i] != '.'; ++i)
    szProcessName[ulProcessNameLength++] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
  szProcessName[ulProcessNameLength] = '\0';
}

QelClConsoleUIParams::~QelClConsoleUIParams() {
  if (pszUsage != gs_cpszNoUsage) qelFree(const_cast<char*>(pszUsage));
  qelFree(pszHelp);
  if (pclQuietStream != nullptr) {
    pclQuietStream->~basic_ostream();
    qelFree(pclQuietStream);
  }
}

// A failed open leaves the stream failed, and all output through it is dropped.
void QelClConsoleUIParams::setQuietMode() {
  if (pclQuietStream == nullptr) {
    void* block = qelMalloc(sizeof(std::ofstream));
    pclQuietStream = new (block) std::ofstream(qel::platform::nullDevice());
  }
  pclOutputStream = pclQuietStream;
  pclErrorStream = pclQuietStream;
  bQuiet = true;
}

void QelClConsoleUIParams::setOutputStream(std::ostream& stream) {
  if (bQuiet) return;
  pclOutputStream = &stream;
  pclErrorStream = &stream;
}

void QelClConsoleUIParams::forceOutputStream(std::ostream& stream) {
  bQuiet = false;
  pclOutputStream = &stream;
  pclErrorStream = &std::cerr;
}

void QelClConsoleUIParams::flushOutputStream() {
  pclOutputStream->flush();
  pclErrorStream->flush();
}
