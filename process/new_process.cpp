// New processes: the command line, built argument by argument.
#include "qel_process.h"

#include <cstring>

#include "qel_memory.h"
#include "qel_util.h"

QelClNewProcessABase::QelClNewProcessABase(const QelClExeFile& executable)
    : ulNewConsole(0),
      stError{NO_ERROR, QelEnErrorClass::UNKNOWN},
      pclExecutable(&executable),
      pszCommandLine(nullptr),
      ulCommandLineLength(0),
      ulCommandLineCapacity(0),
      ulArgumentCount(0),
      ulHostError(0) {
  append("", 0);
  addArgument(executable.getAsCString());
}

QelClNewProcessABase::~QelClNewProcessABase() { qelFree(pszCommandLine); }

// The text stays terminated behind its length.
void QelClNewProcessABase::append(const char* text, std::size_t length) {
  const std::size_t needed = ulCommandLineLength + length + 1;
  if (needed > ulCommandLineCapacity) {
    std::size_t capacity = ulCommandLineCapacity > 0 ? ulCommandLineCapacity : 64;
    while (capacity < needed) capacity *= 2;
    pszCommandLine = static_cast<char*>(qelRealloc(pszCommandLine, static_cast<unsigned int>(capacity)));
    ulCommandLineCapacity = static_cast<std::uint32_t>(capacity);
  }
  std::memcpy(pszCommandLine + ulCommandLineLength, text, length);
  ulCommandLineLength += static_cast<std::uint32_t>(length);
  pszCommandLine[ulCommandLineLength] = '\0';
}

void QelClNewProcessABase::addArgument(const char* text) {
  if (text == nullptr) return;
  if (ulArgumentCount > 0) append(" ", 1);
  const std::size_t length = std::strlen(text);
  if (std::strchr(text, ' ') == nullptr) {
    append(text, length);
  } else {
    append("\"", 1);
    append(text, length);
    if (length > 0 && text[length - 1] == '\\') append("\\", 1);
    append("\"", 1);
  }
  ++ulArgumentCount;
}

void QelClNewProcessABase::addArgument(long value) {
  char text[21];
  const int length = qelLtoa(value, text);
  appendNumber(text, static_cast<std::size_t>(length));
}

void QelClNewProcessABase::addArgument(unsigned long value) {
  char text[21];
  const int length = qelULtoa(value, text);
  appendNumber(text, static_cast<std::size_t>(length));
}

void QelClNewProcessABase::appendNumber(const char* text, std::size_t length) {
  if (ulArgumentCount > 0) append(" ", 1);
  append(text, length);
  ++ulArgumentCount;
}

// The terminator is part of the stream: what is added later stays behind it.
void QelClNewProcessABase::prepareLaunch() {
  stError.ulErrorId = PROCESS_COULD_NOT_LAUNCH;
  stError.enErrorClass = QelEnErrorClass::UNKNOWN_PROCESS;
  ulHostError = 0;
  append("", 1);
}

void QelClNewProcessABase::clearError() {
  stError.ulErrorId = NO_ERROR;
  stError.enErrorClass = QelEnErrorClass::UNKNOWN;
  ulHostError = 0;
}
