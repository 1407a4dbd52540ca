// Label/value lines: a label field of the format width, aligned by the format style,
// then ": " and the value; error details and dumps made of them.
#include "qel_consoleui.h"

#include "qel_util.h"
#include "messages/builtin_message_ids.h"

#include <cstring>
#include <ostream>

// A label longer than the width is written whole, without fill or blanks.
void QelClConsoleUI::formatLabel(const char* label) {
  std::ostream& out = *pclParams->pclOutputStream;
  const unsigned long width = pclParams->uiFormatWidth;
  unsigned long length = static_cast<unsigned long>(std::strlen(label));
  if (length > width) length = width;
  out << "  ";
  switch (pclParams->enFormatStyle) {
    case RIGHT_ALIGNED:
      indent(out, width - length, ' ');
      out << label;
      break;
    case CENTRED: {
      const unsigned long before = width / 2 - length / 2;
      indent(out, before, ' ');
      out << label;
      indent(out, width - length - before, ' ');
      break;
    }
    default:
      out << label;
      indent(out, width - length, pclParams->chFillChar);
      break;
  }
  out << ": ";
}

void QelClConsoleUI::formatQuoted(const char* label, const char* data, std::size_t length,
                                  char quote) {
  formatLabel(label);
  std::ostream& out = *pclParams->pclOutputStream;
  if (pclParams->bQuoteStrings) out << quote;
  out.write(data, static_cast<std::streamsize>(length));
  if (pclParams->bQuoteStrings) out << quote;
  out << '\n';
}

void QelClConsoleUI::format(const char* label, const char* value) {
  formatQuoted(label, value, std::strlen(value), '"');
}
void QelClConsoleUI::format(const char* label, const char* data, unsigned int length) {
  formatQuoted(label, data, length, '"');
}
void QelClConsoleUI::format(const char* label, char value) {
  formatQuoted(label, &value, 1, '\'');
}

namespace {

template <typename Number>
void writeNumber(std::ostream& out, Number value) {
  out << value << '\n';
}

}  // namespace

void QelClConsoleUI::format(const char* label, long value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, unsigned long value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, int value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, unsigned int value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, short value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, unsigned short value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, float value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::format(const char* label, double value) {
  formatLabel(label);
  writeNumber(*pclParams->pclOutputStream, value);
}
void QelClConsoleUI::formatBool(const char* label, bool value) {
  formatLabel(label);
  *pclParams->pclOutputStream << text(value ? 3 : 4).getText() << '\n';
}

// The id forms: the label is the message's text.
#define QEL_FORMAT_BY_ID(Type)                                     \
  void QelClConsoleUI::format(unsigned long id, Type value) {      \
    format(QelClMessage(clCatalog, id).getText(), value);          \
  }
QEL_FORMAT_BY_ID(const char*)
QEL_FORMAT_BY_ID(char)
QEL_FORMAT_BY_ID(long)
QEL_FORMAT_BY_ID(unsigned long)
QEL_FORMAT_BY_ID(int)
QEL_FORMAT_BY_ID(unsigned int)
QEL_FORMAT_BY_ID(short)
QEL_FORMAT_BY_ID(unsigned short)
QEL_FORMAT_BY_ID(float)
QEL_FORMAT_BY_ID(double)
#undef QEL_FORMAT_BY_ID

void QelClConsoleUI::format(unsigned long id, const char* data, unsigned int length) {
  format(QelClMessage(clCatalog, id).getText(), data, length);
}
void QelClConsoleUI::formatBool(unsigned long id, bool value) {
  formatBool(QelClMessage(clCatalog, id).getText(), value);
}

// ---- Error details: names are messages at base + the vocabulary's message number.
void QelClConsoleUI::formatErrId(std::uint32_t id, bool all) {
  const QelClMessage name = text(qelErrorGetIdAsMessageId(id));
  const QelClMessage label = text(qel::msg::kErrorIdLabel);
  format(label.getText(), name.getText());
  if (all) format(label.getText(), static_cast<unsigned long>(id));
}

void QelClConsoleUI::format(QelEnErrorClass errorClass) {
  format(text(qel::msg::kErrorClassLabel).getText(), text(qelErrorGetClassAsMessageId(errorClass)).getText());
}
void QelClConsoleUI::format(QelEnErrorSeverity severity) {
  format(text(qel::msg::kErrorSeverityLabel).getText(), text(qelErrorGetSeverityAsMessageId(severity)).getText());
}
void QelClConsoleUI::format(QelEnErrorAction action) {
  format(text(qel::msg::kRecommendedActionLabel).getText(), text(qelErrorGetActionAsMessageId(action)).getText());
}

void QelClConsoleUI::format(const _QelStError& error, bool all) {
  if (!all && error.ulErrorId == 0) return;
  formatErrId(error.ulErrorId, all);
  if (all || static_cast<int>(error.enErrorClass) != 0) format(error.enErrorClass);
}

void QelClConsoleUI::format(const _QelStUserError& error, bool all) {
  if (!all && error.ulErrorId == 0) return;
  formatErrId(error.ulErrorId, all);
  if (all || static_cast<int>(error.enErrorClass) != 0) format(error.enErrorClass);
  if (all || static_cast<int>(error.enErrorSeverity) != 0) format(error.enErrorSeverity);
  if (all || static_cast<int>(error.enErrorAction) != 0) format(error.enErrorAction);
}

void QelClConsoleUI::format(const QelClException& exc, bool all) {
  formatErrId(exc.getErrorId(), all);
  if (all || static_cast<int>(exc.getErrorClass()) != 0) format(exc.getErrorClass());
  if (all || static_cast<int>(exc.getErrorSeverity()) != 0) format(exc.getErrorSeverity());
  if (all || static_cast<int>(exc.getErrorAction()) != 0) format(exc.getErrorAction());
  if (!all) return;
  if (exc.getCause() != nullptr) format(text(qel::msg::kCauseLabel).getText(), exc.getCause());
  format(text(qel::msg::kModuleLabel).getText(), exc.getModule() != nullptr ? exc.getModule() : "");
  format(text(qel::msg::kLineLabel).getText(), static_cast<unsigned long>(exc.getLine()));
}

void QelClConsoleUI::dump(const char* label, const void* data, unsigned int length) {
  formatHeader(label);
  std::ostream& out = *pclParams->pclOutputStream;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (unsigned int offset = 0; offset < length; offset += 16) {
    const unsigned int row = length - offset < 16 ? length - offset : 16;
    out << "  " << QelClStrepHexDump(offset, bytes + offset, row).getAsCString() << '\n';
  }
}

void QelClConsoleUI::dump(unsigned long id, const void* data, unsigned int length) {
  dump(QelClMessage(clCatalog, id).getText(), data, length);
}
