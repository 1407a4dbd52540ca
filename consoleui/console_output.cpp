// The frame's console output: headers, message lines and section headings.
#include "qel_consoleui.h"
#include "messages/builtin_message_ids.h"

#include <ostream>

void QelClConsoleUI::newline() { *pclParams->pclOutputStream << '\n'; }
void QelClConsoleUI::beep() { *pclParams->pclOutputStream << '\a'; }
void QelClConsoleUI::horizontalBar() { *pclParams->pclOutputStream << gs_cpszLine << '\n'; }

void QelClConsoleUI::indent(std::ostream& out) const {
  indent(out, pclParams->ulProcessNameLength, ' ');
}

void QelClConsoleUI::indent(std::ostream& out, unsigned long count, char c) {
  for (unsigned long i = 0; i < count; ++i) out << c;
}

// Continued: the message line that follows starts under the text after the name.
void QelClConsoleUI::header(std::ostream& out, const char* text, bool continued) const {
  out << '\n' << gs_cpszLine << pclParams->szProcessName << ": " << text;
  if (!continued) {
    out << '\n';
    return;
  }
  out << ":\n";
  indent(out);
}

void QelClConsoleUI::msg(std::ostream& out, const char* text, const char* p2, const char* p3,
                         const char* p4, const char* p5) {
  out << "  " << (text != nullptr ? text : "");
  msgSubseq(out, p2);
  msgSubseq(out, p3);
  msgSubseq(out, p4);
  msgSubseq(out, p5);
  out << '\n';
}

void QelClConsoleUI::msgSubseq(std::ostream& out, const char* text) {
  if (text != nullptr) out << ": " << text;
}

void QelClConsoleUI::error(std::ostream& out, const char* text, const char* p2,
                           const char* p3) const {
  header(out, this->text(qel::msg::kErrorHeader).getText(), true);
  msg(out, text, p2, p3);
}

void QelClConsoleUI::header(const char* text, bool continued) {
  header(*pclParams->pclOutputStream, text, continued);
}

void QelClConsoleUI::header(unsigned long id, bool continued) {
  header(*pclParams->pclOutputStream, QelClMessage(clCatalog, id).getText(), continued);
}

void QelClConsoleUI::info(const char* text, const char* p2, const char* p3, const char* p4,
                          const char* p5) {
  std::ostream& out = *pclParams->pclOutputStream;
  header(out, text, p2 != nullptr);
  if (p2 != nullptr) msg(out, p2, p3, p4, p5);
}

void QelClConsoleUI::warning(const char* text, const char* p2, const char* p3, const char* p4,
                             const char* p5) {
  std::ostream& out = *pclParams->pclErrorStream;
  header(out, this->text(qel::msg::kWarningHeader).getText(), true);
  msg(out, text, p2, p3, p4, p5);
}

void QelClConsoleUI::error(const char* text, const char* p2, const char* p3, const char* p4,
                           const char* p5) {
  std::ostream& out = *pclParams->pclErrorStream;
  header(out, this->text(qel::msg::kErrorHeader).getText(), true);
  msg(out, text, p2, p3, p4, p5);
}

void QelClConsoleUI::fatal(unsigned long code, const char* text, const char* p2, const char* p3,
                           const char* p4, const char* p5) {
  std::ostream& out = *pclParams->pclErrorStream;
  header(out, this->text(qel::msg::kFatalErrorHeader).getText(), true);
  msg(out, text, p2, p3, p4, p5);
  processExit(code);
}

void QelClConsoleUI::exception(const QelClException& exc, const char* text, const char* p2,
                               const char* p3, const char* p4, const char* p5) {
  std::ostream& out = *pclParams->pclErrorStream;
  header(out, this->text(qel::msg::kExceptionHeader).getText(), true);
  msg(out, text, p2, p3, p4, p5);
  format(exc, true);
}

// The id forms: the message's text stands for the text argument.
void QelClConsoleUI::info(unsigned long id, const char* p2, const char* p3, const char* p4,
                          const char* p5) {
  info(QelClMessage(clCatalog, id).getText(), p2, p3, p4, p5);
}
void QelClConsoleUI::warning(unsigned long id, const char* p2, const char* p3, const char* p4,
                             const char* p5) {
  warning(QelClMessage(clCatalog, id).getText(), p2, p3, p4, p5);
}
void QelClConsoleUI::error(unsigned long id, const char* p2, const char* p3, const char* p4,
                           const char* p5) {
  error(QelClMessage(clCatalog, id).getText(), p2, p3, p4, p5);
}
void QelClConsoleUI::fatal(unsigned long code, unsigned long id, const char* p2, const char* p3,
                           const char* p4, const char* p5) {
  QelClMessage message(clCatalog, id);
  fatal(code, message.getText(), p2, p3, p4, p5);
}

void QelClConsoleUI::formatHeader(const char* text) {
  std::ostream& out = *pclParams->pclOutputStream;
  out << "\n  " << text << "\n  " << gs_cpszLine + 2;
  out.flush();
}

void QelClConsoleUI::formatHeader(unsigned long id) {
  formatHeader(QelClMessage(clCatalog, id).getText());
}
