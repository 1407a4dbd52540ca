// Writing the INI model back in the library's one layout.
#include <cctype>
#include <cstring>

#include "platform/platform.h"
#include "qel_inifile.h"

QelClIniFileSave::QelClIniFileSave(const QelClFilenameABase& name)
    : QelClIniFile(name), bOpened(false), clUpdate(getFilename()) {}

QelClIniFileSave::~QelClIniFileSave() {
  if (clOutput.is_open() && !clOutput.flush()) clOutput.setstate(std::ios::badbit);
}

// The object's file, created or emptied, in text mode. Opened at most once: a failure
// leaves the stream failed, and what is written afterwards is lost.
void QelClIniFileSave::open(std::ofstream& stream) {
  bOpened = true;
  stream.open(getAsCString(), std::ios::out | std::ios::trunc);
}

bool QelClIniFileSave::save() {
  if (!bOpened) open(clOutput);
  return save(clOutput);
}

namespace {

// A stream buffer that hands what is written to a file update in large pieces. A
// failed write fails the stream; the update keeps the reason.
class UpdateBuffer : public std::streambuf {
public:
  explicit UpdateBuffer(QelClFileUpdate& update) : rclUpdate(update) { setp(achBuffer, achBuffer + sizeof achBuffer); }

protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }
  int sync() override { return drain() ? 0 : -1; }

private:
  // Line feeds become the line ends of a file written in text mode, as save() writes.
  bool drain() {
    const auto length = static_cast<std::size_t>(pptr() - pbase());
    setp(achBuffer, achBuffer + sizeof achBuffer);
    if (sizeof qel::platform::kTextLineEnd == 2) return length == 0 || rclUpdate.write(achBuffer, length);
    std::size_t out = 0;
    for (std::size_t i = 0; i < length; ++i) {
      if (achBuffer[i] == '\n') {
        for (const char* end = qel::platform::kTextLineEnd; *end != '\0'; ++end) achLines[out++] = *end;
      } else {
        achLines[out++] = achBuffer[i];
      }
    }
    return out == 0 || rclUpdate.write(achLines, out);
  }

  enum : std::size_t { BUFFER_SIZE = 32 * 1024 };
  QelClFileUpdate& rclUpdate;
  char achBuffer[BUFFER_SIZE] = {};
  char achLines[BUFFER_SIZE * (sizeof qel::platform::kTextLineEnd - 1)] = {};
};

}  // namespace

bool QelClIniFileSave::lock(unsigned long waitMilliseconds) {
  if (clUpdate.lock(waitMilliseconds)) return true;
  setError(clUpdate.getError().ulErrorId, clUpdate.getError().enErrorClass, clUpdate.getHostError());
  return false;
}

// The model goes through save(stream)'s layout into a stream whose buffer is the
// update's; the writer's own output and opened flag are left as they were.
bool QelClIniFileSave::saveAtomic() {
  if (!lock()) return false;
  bool written = false;
  {
    UpdateBuffer buffer(clUpdate);
    std::ofstream staging;
    static_cast<std::ios&>(staging).rdbuf(&buffer);
    const bool opened = bOpened;
    written = save(staging);
    bOpened = opened;
  }
  if (written && clUpdate.commit()) {
    clearError();
    return true;
  }
  clUpdate.abandon();
  if (clUpdate.getError().ulErrorId == NO_ERROR) {
    setError(FILE_COULD_NOT_WRITE, QelEnErrorClass::IO_WRITE_PROBLEM);  // the stream failed on its own
  } else {
    setError(clUpdate.getError().ulErrorId, clUpdate.getError().enErrorClass, clUpdate.getHostError());
  }
  return false;
}

bool QelClIniFileSave::save(std::ofstream& stream) {
  bOpened = true;
  for (QelClIniFileSectionCursor sections(*this); sections.isValid(); sections.setToNext()) {
    if (*sections.getSection() == '\0') continue;
    saveSection(stream, sections.getSection(), nullptr);
    for (QelClIniFileOptionCursor options(sections); options.isValid(); options.setToNext()) {
      if (*options.getOption() != '\0') saveOption(stream, options.getOption(), options.getValue(), options.getComment());
    }
  }
  if (!stream.flush()) stream.setstate(std::ios::badbit);
  return stream.good();
}

bool QelClIniFileSave::saveSection(std::ofstream& stream, const char* name, const char* comment) {
  if (!bOpened) open(stream);
  stream << "\n[" << name << ']';
  saveComment(stream, comment);
  return stream.good();
}

void QelClIniFileSave::saveOption(std::ofstream& stream, const char* name) { stream << name << "\t= "; }

void QelClIniFileSave::saveComment(std::ofstream& stream, const char* comment) const {
  if (comment != nullptr && *comment != '\0') stream << "\t; " << comment;
  stream << '\n';
}

// Written in double quotes when the reader would otherwise end it at ';' or lose a
// control character.
bool QelClIniFileSave::saveOption(std::ofstream& stream, const char* name, const char* value, const char* comment) {
  if (!bOpened) open(stream);
  if (*value == '\0') return stream.good();
  saveOption(stream, name);
  bool quoted = false;
  for (const char* c = value; *c != '\0' && !quoted; ++c) {
    quoted = *c == ';' || std::iscntrl(static_cast<unsigned char>(*c)) != 0;
  }
  if (quoted) {
    stream << '"';
    for (const char* c = value; *c != '\0'; ++c) saveChar(stream, *c);
    stream << '"';
  } else {
    stream << value;
  }
  saveComment(stream, comment);
  return stream.good();
}

template <typename T>
bool QelClIniFileSave::saveNumber(std::ofstream& stream, const char* name, T value, const char* comment) {
  if (!bOpened) open(stream);
  saveOption(stream, name);
  stream << std::dec << value;
  saveComment(stream, comment);
  return stream.good();
}

bool QelClIniFileSave::saveOption(std::ofstream& stream, const char* name, int value, const char* comment) {
  return saveNumber(stream, name, value, comment);
}
bool QelClIniFileSave::saveOption(std::ofstream& stream, const char* name, unsigned int value, const char* comment) {
  return saveNumber(stream, name, value, comment);
}
bool QelClIniFileSave::saveOption(std::ofstream& stream, const char* name, long value, const char* comment) {
  return saveNumber(stream, name, value, comment);
}
bool QelClIniFileSave::saveOption(std::ofstream& stream, const char* name, unsigned long value,
                                  const char* comment) {
  return saveNumber(stream, name, value, comment);
}

bool QelClIniFileSave::saveOption(std::ofstream& stream, const char* name, char value, const char* comment) {
  if (!bOpened) open(stream);
  saveOption(stream, name);
  stream << '\'';
  saveChar(stream, value);
  stream << '\'';
  saveComment(stream, comment);
  return stream.good();
}

bool QelClIniFileSave::saveOptionBool(std::ofstream& stream, const char* name, bool value, const char* comment) {
  if (!bOpened) open(stream);
  saveOption(stream, name);
  stream << (value ? getStringTrue() : getStringFalse());
  saveComment(stream, comment);
  return stream.good();
}

// The escapes the reader turns back into the character.
void QelClIniFileSave::saveChar(std::ofstream& stream, char c) const {
  static const char kNamed[] = "\aa\bb\tt\nn\vv\ff\rr\\\\";
  const char* named = c != '\0' ? std::strchr(kNamed, c) : nullptr;
  if (named != nullptr && (named - kNamed) % 2 == 0) {
    stream << '\\' << named[1];
  } else if (std::iscntrl(static_cast<unsigned char>(c)) != 0) {
    stream << "\\x";
    stream.width(2);
    stream.fill('0');
    stream << std::hex << static_cast<unsigned int>(static_cast<unsigned char>(c));
  } else {
    stream << c;
  }
}
