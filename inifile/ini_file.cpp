// Reading INI files into the model.
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <streambuf>

#define QEL_MODULE "ini_file"
#include "errors/throw_at.h"
#include "inifile/ini_names.h"
#include "platform/platform.h"
#include "qel_inifile.h"
#include "qel_memory.h"

QelClIniFile::QelClIniFile(const QelClFilenameABase& name)
    : QelClFile(name, ".INI"), pclFirstSection(nullptr), pclLastSection(nullptr), ulLineNumber(0),
      pclCurrentSection(nullptr), pfuErrorHandler(nullptr), pvHandlerData(nullptr),
      pclTailSection(nullptr), pclTailOption(nullptr), enReadResult(READ_WHOLE), ulReadResultLine(0) {}

QelClIniFile::~QelClIniFile() { delete pclFirstSection; }

void QelClIniFile::setErrorHandler(QelPfuIniFileErrorHandler handler, void* data) {
  pfuErrorHandler = handler;
  pvHandlerData = data;
}

namespace {

// The text the caller keeps, read as a stream without being copied. Reading never
// writes into a stream buffer's characters, so they may be constant.
class TextBuffer : public std::streambuf {
public:
  TextBuffer(const char* begin, std::size_t length) {
    char* const first = const_cast<char*>(begin);
    setg(first, first, first + length);
  }
};

// A file's bytes in one block of the memory manager.
class FileText {
public:
  FileText() = default;
  ~FileText() { qelFree(pcText); }
  FileText(const FileText&) = delete;
  FileText& operator=(const FileText&) = delete;

  // Reads the whole file, in one piece when it tells its size.
  qel::platform::Status read(const char* path) {
    qel::platform::InputFile file = qel::platform::kNoFile;
    qel::platform::Status status = qel::platform::openFileToRead(path, file);
    if (!status) return status;
    std::uint64_t told = 0;
    if (qel::platform::fileSize(path, told) && told < SIZE_MAX / 2) grow(static_cast<std::size_t>(told) + 1);
    for (;;) {
      if (ulLength == ulCapacity) grow(ulCapacity < 64 * 1024 ? 64 * 1024 : 2 * ulCapacity);
      std::size_t got = 0;
      status = qel::platform::readFile(file, pcText + ulLength, ulCapacity - ulLength, got);
      if (!status || got == 0) break;
      ulLength += got;
    }
    qel::platform::closeReadFile(file);
    return status;
  }

  // A byte order mark skipped; CR LF and a lone CR turned into LF, in place.
  void normalizeLineEnds() {
    ulBegin = ulLength >= 3 && std::memcmp(pcText, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    const void* cr = std::memchr(pcText + ulBegin, '\r', ulLength - ulBegin);
    if (cr == nullptr) return;
    std::size_t kept = static_cast<std::size_t>(static_cast<const char*>(cr) - pcText);
    for (std::size_t i = kept; i < ulLength; ++i) {
      if (pcText[i] != '\r') {
        pcText[kept++] = pcText[i];
      } else if (i + 1 >= ulLength || pcText[i + 1] != '\n') {
        pcText[kept++] = '\n';
      }
    }
    ulLength = kept;
  }

  const char* begin() const { return pcText + ulBegin; }
  std::size_t size() const { return ulLength - ulBegin; }

private:
  // The memory manager's blocks end below 4 GiB: a larger file is out of memory too.
  void grow(std::size_t capacity) {
    if (capacity > UINT_MAX) {
      QEL_THROW(QelClExceptionFatal(MEMMGR_RUNTIME_OUT_OF_MEMORY, QelEnErrorClass::OUT_OF_MEMORY,
                                    QelEnErrorAction::TERMINATE, nullptr));
    }
    pcText = static_cast<char*>(qelRealloc(pcText, static_cast<unsigned int>(capacity)));
    ulCapacity = capacity;
  }

  char* pcText = nullptr;
  std::size_t ulBegin = 0;  // behind a byte order mark
  std::size_t ulLength = 0;
  std::size_t ulCapacity = 0;
};

}  // namespace

// The file is read as it is on every host and parsed where it lies; its block comes
// from the memory manager, so that a file too large for memory ends in the manager's
// exception.
bool QelClIniFile::load(bool allowContinuation) {
  ulLineNumber = 0;
  enReadResult = READ_WHOLE;
  ulReadResultLine = 0;
  FileText text;
  const qel::platform::Status status = text.read(getAsCString());
  if (!status) {
    setError(FILE_COULD_NOT_READ, qelHostErrorGetClass(status.error()), status.error());
    enReadResult = READ_NOT_OPENED;
    return false;
  }
  clearError();
  text.normalizeLineEnds();
  TextBuffer buffer(text.begin(), text.size());
  std::istream in(&buffer);
  return load(in, allowContinuation);
}

bool QelClIniFile::loadFromCString(const char* text, bool allowContinuation) {
  enReadResult = READ_WHOLE;
  ulReadResultLine = 0;
  TextBuffer buffer(text, std::strlen(text));
  std::istream in(&buffer);
  return load(in, allowContinuation);
}

// Up to 1023 characters up to the line feed. A longer line leaves the stream failed:
// its first 1023 characters are the last line read. A NUL byte ends the line's text.
bool QelClIniFile::nextLine(std::istream& in, char* buffer) {
  buffer[0] = '\0';
  if (!in.good()) return false;
  in.getline(buffer, LINE_LENGTH + 1);
  if (in.gcount() == 0 && in.fail()) return false;
  ++ulLineNumber;
  const auto read = static_cast<std::size_t>(in.gcount());
  if (in.fail()) {
    noteReadResult(READ_LINE_TOO_LONG);
  } else if (std::strlen(buffer) < read - (in.eof() ? 0 : 1)) {
    noteReadResult(READ_BINARY_CONTENT);
  }
  return true;
}

void QelClIniFile::noteReadResult(QelEnReadResult result) {
  if (enReadResult != READ_WHOLE) return;
  enReadResult = result;
  ulReadResultLine = ulLineNumber;
}

// Reads lines while the buffer is blank or a comment; false when none is left.
bool QelClIniFile::skipComment(std::istream& in, char* buffer) {
  for (;;) {
    const char* c = buffer;
    while (*c != '\0' && qel::ini::isBlank(*c)) ++c;
    if (*c != '\0' && *c != ';') return true;
    if (!nextLine(in, buffer)) return false;
  }
}

bool QelClIniFile::error(unsigned long errorId) {
  noteReadResult(READ_BAD_LINE);
  if (pfuErrorHandler == nullptr) return true;
  const _QelStError record{static_cast<std::uint32_t>(errorId), QelEnErrorClass::USER_DATA_ERROR};
  return pfuErrorHandler(record, ulLineNumber, pvHandlerData);
}

bool QelClIniFile::load(std::istream& in, bool allowContinuation) {
  bool goOn = true;
  QelClIniFileOption* last = nullptr;
  char line[LINE_LENGTH + 1] = "";
  while (goOn && skipComment(in, line)) {
    if (line[0] == '[') {
      if (const char* close = std::strchr(line, ']')) {
        addSection(new (clNodes) QelClIniFileSection(line + 1, close));
      } else {
        goOn = error(INIFILE_INVAL_SECTION);
      }
      last = nullptr;
    } else if (pclCurrentSection == nullptr) {
      noteReadResult(READ_OUTSIDE_SECTION);  // lines before the first section are ignored
    } else if (!qel::ini::isBlank(line[0])) {
      auto* option = new (clNodes) QelClIniFileOption(line);
      if (option->getValue() != nullptr) {
        addOption(option);
        last = option;
      } else {
        delete option;
        goOn = error(INIFILE_INVAL_OPTION);
      }
    } else if (allowContinuation && last != nullptr) {
      last->appendOptionValue(line);
    } else {
      goOn = error(INIFILE_INVAL_WHITESPACE);
      last = nullptr;
    }
    line[0] = '\0';
  }
  pclCurrentSection = nullptr;
  return goOn;
}

void QelClIniFile::addSection(QelClIniFileSection* section) {
  if (pclLastSection != nullptr) {
    pclLastSection->appendSection(section);
  } else {
    pclFirstSection = section;
  }
  pclLastSection = section;
  pclCurrentSection = section;
}

// Behind the current section's last option.
void QelClIniFile::addOption(QelClIniFileOption* option) {
  QelClIniFileOption* last = pclTailSection == pclCurrentSection ? pclTailOption : nullptr;
  if (last == nullptr) last = pclCurrentSection->getFirstOption();
  if (last == nullptr) {
    pclCurrentSection->setFirstOption(option);
  } else {
    while (last->getNext() != nullptr) last = last->getNext();
    last->appendOption(option);
  }
  pclTailSection = pclCurrentSection;
  pclTailOption = option;
}
