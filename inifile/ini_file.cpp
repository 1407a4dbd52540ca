// Reading INI files into the model.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <streambuf>
#include <string>

#include "inifile/ini_names.h"
#include "platform/platform.h"
#include "qel_inifile.h"

QelClIniFile::QelClIniFile(const QelClFilenameABase& name)
    : QelClFile(name, ".INI"), pclFirstSection(nullptr), pclLastSection(nullptr), ulLineNumber(0),
      pclCurrentSection(nullptr), pfuErrorHandler(nullptr), pvHandlerData(nullptr),
      pclTailSection(nullptr), pclTailOption(nullptr) {}

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

// Every carriage return directly before a line feed dropped, in place.
void dropCarriageReturns(std::string& text) {
  std::string::size_type kept = text.find('\r');
  if (kept == std::string::npos) return;
  for (std::string::size_type i = kept; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') text[kept++] = text[i];
  }
  text.resize(kept);
}

}  // namespace

// The file is read as in text mode on every host: a carriage return before a line
// feed belongs to the line end. It is read whole and parsed where it lies.
bool QelClIniFile::load(bool allowContinuation) {
  ulLineNumber = 0;
  std::ifstream file(getAsCString(), std::ios::binary);
  if (!file.is_open()) return false;
  // Room for the size the file tells, and one more character, so that the text is
  // read in one piece and never moved; a file that tells none is read in blocks.
  std::uint64_t size = 0;
  std::string text;
  if (qel::platform::fileSize(getAsCString(), size) && size < SIZE_MAX) {
    text.reserve(static_cast<std::size_t>(size) + 1);
  }
  constexpr std::size_t kBlock = 64 * 1024;
  while (file) {
    const std::size_t got = text.size();
    const std::size_t block = text.capacity() > got ? text.capacity() - got : kBlock;
    text.resize(got + block);
    file.read(&text[got], static_cast<std::streamsize>(block));
    text.resize(got + static_cast<std::size_t>(file.gcount()));
  }
  dropCarriageReturns(text);
  TextBuffer buffer(text.data(), text.size());
  std::istream in(&buffer);
  return load(in, allowContinuation);
}

bool QelClIniFile::loadFromCString(const char* text, bool allowContinuation) {
  TextBuffer buffer(text, std::strlen(text));
  std::istream in(&buffer);
  return load(in, allowContinuation);
}

// Up to 1023 characters up to the line feed. A longer line leaves the stream failed:
// its first 1023 characters are the last line read.
bool QelClIniFile::nextLine(std::istream& in, char* buffer) {
  buffer[0] = '\0';
  if (!in.good()) return false;
  in.getline(buffer, LINE_LENGTH + 1);
  if (in.gcount() == 0 && in.fail()) return false;
  ++ulLineNumber;
  return true;
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
      // lines before the first section are ignored
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
