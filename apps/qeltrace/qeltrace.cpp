// qeltrace: the trace controller. It shows the trace status of a key or displays its
// trace file through the formatter, on a controller instance, which never clears the
// file. Before it reads the file it appends the records that writers now gone left in
// durable ring files beside it. A trace file that is missing or can't be read, and
// standard output that can't be written, are reported with the host's own text for
// the reason. Exit codes: 0 done;
// 1 the trace file does not exist; 2 the trace could not be set up, or the instance is
// not a word of letters, digits and "_-@"; 3 the file could not be opened or read (a
// directory, say); 4 the file is corrupted (the offset of its first damaged record is
// named); 5 standard output could not be written; 6 the library failed (memory ran out);
// 7 the file ends inside a record (the whole records before it are shown or counted);
// 201 to 204 the frame's own (usage, help, a missing or wrong switch value).
#include <vrnqel43.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <ostream>
#include <streambuf>
#include <string>

#include "apps/program_failures.h"
#include "messages/builtin_message_ids.h"

namespace {

namespace msg = qel::msg;  // the controller's texts in the built-in table

enum : unsigned long {
  EXIT_NO_FILE = 1, EXIT_NO_TRACE = 2, EXIT_CANNOT_OPEN = 3, EXIT_CORRUPTED = 4, EXIT_WRITE_FAILED = 5,
  EXIT_LIBRARY_FAILED = 6, EXIT_CUT = 7
};

// A stream that swallows what it is given: the record count needs a formatting run.
class NullBuffer : public std::streambuf {
protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// A stream buffer without a buffer of its own: each character goes through xsputn.
class UnbufferedOutput : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }
};

// Passes on what the formatter writes of a file's whole records and drops the rest. The
// formatter writes each record when it is done with it, before it counts it: what it
// writes while its count is at the whole records' belongs to a record the file's end cuts.
class WholeRecords : public UnbufferedOutput {
public:
  WholeRecords(std::streambuf* out, const QelClTraceFormatter& reader, std::uint64_t whole)
      : target(out), formatter(&reader), records(whole) {}

protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    return formatter->getRecordCount() < records ? target->sputn(text, count) : count;
  }

private:
  std::streambuf* target;
  const QelClTraceFormatter* formatter;
  std::uint64_t records;
};

// Standard output for std::cout while it lives, written through the C runtime: it keeps
// the host's reason of the first write that fails, of which the stream itself only
// keeps that one failed.
class StandardOutput : public UnbufferedOutput {
public:
  StandardOutput() : previous(std::cout.rdbuf(this)) {}
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;
  ~StandardOutput() override { std::cout.rdbuf(previous); }

  bool hasFailed() const { return failed; }
  std::uint32_t getReason() const { return reason; }

protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    qelapp::clearRuntimeError();
    const std::size_t written = std::fwrite(text, 1, static_cast<std::size_t>(count), stdout);
    keep(written == static_cast<std::size_t>(count));
    return static_cast<std::streamsize>(written);
  }
  int sync() override {
    qelapp::clearRuntimeError();
    return keep(std::fflush(stdout) == 0) ? 0 : -1;
  }

private:
  bool keep(bool succeeded) {
    if (!succeeded && !failed) {
      failed = true;
      reason = qelapp::runtimeError();
    }
    return succeeded;
  }

  std::streambuf* previous;
  bool failed = false;
  std::uint32_t reason = 0;
};

// Component ids 1 to 255 that are (or are not) enabled, as a list "1,3.5,9".
std::string componentList(const QelClTraceFilter& filter, bool enabled) {
  std::string list;
  for (unsigned int id = 1; id <= 255; ++id) {
    if (filter.isComponentIdEnabled(static_cast<unsigned short>(id)) != enabled) continue;
    unsigned int last = id;
    while (last < 255 && filter.isComponentIdEnabled(static_cast<unsigned short>(last + 1)) == enabled) ++last;
    if (!list.empty()) list += ',';
    list += std::to_string(id);
    if (last > id) list += '.' + std::to_string(last);
    id = last;
  }
  return list;
}

// An instance is a word of the letters, digits and "_-@" that resource keys keep as
// they are: any other character would be replaced, so that two instances could meet.
bool isKeyWord(const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c)) == 0 && std::strchr("_-@", *c) == nullptr) return false;
  }
  return true;
}

// Whether a file can be read (an empty one too); when it can't, reason is the host's
// code (0 when the host gave none). A directory opens on POSIX and fails at the first
// read.
bool isReadable(const char* name, std::uint32_t& reason) {
  std::FILE* file = qelapp::openToRead(name, reason);
  if (file == nullptr) return false;
  qelapp::clearRuntimeError();
  const bool readable = std::fgetc(file) != EOF || std::ferror(file) == 0;
  reason = readable ? 0 : qelapp::runtimeError();
  static_cast<void>(std::fclose(file));  // read only: nothing is lost
  return readable;
}

class TraceController {
public:
  TraceController(int argc, char** argv)
      : ui(QelClFilename("vrnmsg43"), qelMsgCatGetBuiltInTable(nullptr), builtInEntries(), 0, argc,
           argv, static_cast<unsigned long>(msg::kTraceTitle), 0ul, QEL_LEVEL) {}

  int run() {
    ui.handleUsageHelp(static_cast<unsigned long>(msg::kTraceUsage), static_cast<unsigned long>(msg::kTraceHelp));
    ui.reqArgString(static_cast<unsigned long>(msg::kTraceKeySwitch), key);
    ui.hasArgString(static_cast<unsigned long>(msg::kTraceInstanceSwitch), instance);
    const bool fileGiven = ui.hasArgString(static_cast<unsigned long>(msg::kTraceFileSwitch), file);
    if (instance != nullptr && !isKeyWord(instance)) fail(msg::kTraceInvalidInstance, EXIT_NO_TRACE, instance);
    // The environment reads its settings from the key's variables only.
    if (fileGiven) keyVariable("_TRACE_FILE", file);
    if (ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceVerboseSwitch))) keyVariable("_TRACE_VERBOSE", "yes");
    QelClTraceInstance* trace = nullptr;
    try {
      trace = &QelClTraceInstance::createControllerInstance(key, instance);
    } catch (const QelClException& exception) {
      report(exception, msg::kTraceNotInitialized, EXIT_NO_TRACE);
    }
    const QelClTraceEnvironment& environment = trace->getEnvironment();
    QelClTraceFilter filter = environment.getSettings().getFilter();
    const char* value = nullptr;
    if (ui.hasArgString(static_cast<unsigned long>(msg::kTraceDetailSwitch), value)) filter.setDetail(value);
    if (ui.hasArgString(static_cast<unsigned long>(msg::kTraceComponentsSwitch), value)) {
      filter.disableAllComponentIds();
      filter.enableComponentIds(value);
    }
    if (ui.hasArgString(static_cast<unsigned long>(msg::kTraceProcessSwitch), value)) filter.setProcessId(value);
    if (ui.hasArgString(static_cast<unsigned long>(msg::kTraceThreadSwitch), value)) filter.setThreadId(value);
    QelClTraceFormatter formatter(environment, &filter);
    formatter.attachQelMessageCatalog(ui.getMessageCatalog());

    // Records that writers now gone left in durable rings belong in the file first.
    static_cast<void>(environment.saveAbandonedRecords());
    // A missing file has no records to show; one that is there must be readable.
    traceFile = environment.getTraceFileName();
    std::uint32_t reason = 0;
    const bool readable = isReadable(traceFile, reason);
    const bool missing = !readable && qelHostErrorGetClass(reason) == QelEnErrorClass::IO_NOT_EXISTENT;
    const bool showFile = ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceDisplaySwitch));
    if (showFile && missing) {
      fail(fileGiven ? msg::kTraceFileNotFound : msg::kTraceKeyFileNotFound, EXIT_NO_FILE, qelapp::withReason(traceFile, reason));
    }
    if (!readable && !missing) fail(msg::kTraceCannotOpen, EXIT_CANNOT_OPEN, qelapp::withReason(traceFile, reason));
    // The records' lengths tell first which of them are whole and where damage starts.
    const QelClTraceFileScan scan(traceFile);
    if (readable && scan.getHostError() != 0) {
      fail(msg::kTraceCannotOpen, EXIT_CANNOT_OPEN, qelapp::withReason(traceFile, scan.getHostError()));
    }
    if (showFile) {
      display(formatter, scan);
    } else {
      showStatus(*trace, filter, formatter, scan, readable);
    }
    finishOutput();
    if (scan.hasCutRecord()) {
      const std::uint64_t bytes = scan.getCutLength();
      const std::string count = bytes == 1 ? "byte is" : std::to_string(bytes) + " bytes are";
      fail("The trace file ends inside a record", EXIT_CUT,
           std::string(traceFile) + ": the last " + count + " not a whole record");
    }
    return 0;
  }

private:
  const char* text(unsigned long id) {
    message.setNewMessageId(id);
    return message.getText();
  }

  void keyVariable(const char* suffix, const char* value) {
    std::string name = key;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    QelClEnvironmentVariable((name + suffix).c_str(), value);
  }

  [[noreturn]] void fail(const char* what, unsigned long code, const std::string& detail) {
    ui.error(what, detail.c_str());
    ui.processExit(code);
  }
  [[noreturn]] void fail(unsigned long id, unsigned long code, const std::string& detail) {
    fail(text(id), code, detail);
  }

  // Everything for standard output is written through, or the write's failure is
  // reported with the host's reason.
  void finishOutput() {
    std::cout.flush();
    if (!output.hasFailed()) return;
    ui.error("The output could not be written", qelapp::withReason("standard output", output.getReason()).c_str());
    ui.processExit(EXIT_WRITE_FAILED);
  }

  // A reader's error as the frame's exception output, then the matching exit code.
  [[noreturn]] void report(const QelClException& exception, unsigned long id, unsigned long code,
                           const char* detail = nullptr) {
    ui.exception(exception, text(id), detail);
    ui.processExit(code);
  }

  // Formats onto out, the records shown on standard output or not. The file's end inside
  // a record the scan found is left to the caller; any other error ends the last line
  // shown before it is reported, corrupted data with where the damage starts.
  void format(const QelClTraceFormatter& formatter, std::ostream& out, bool shown, const QelClTraceFileScan& scan) {
    try {
      formatter.format(out);
    } catch (const QelClException& exception) {
      const std::uint32_t id = exception.getErrorId();
      if (id == TRACEFORMAT_UNEXPECTED_EOF && scan.hasCutRecord()) return;
      if (shown) std::cout << '\n';
      std::cout.flush();
      if (id == TRACEFORMAT_COULD_NOT_OPEN) report(exception, msg::kTraceCannotOpen, EXIT_CANNOT_OPEN);
      if (id == TRACEFORMAT_UNEXPECTED_EOF) report(exception, msg::kTraceUnexpectedEnd, EXIT_CORRUPTED);
      std::string damage = traceFile;
      if (scan.hasDamagedRecord()) damage += ": at byte " + std::to_string(scan.getDamagedOffset());
      report(exception, msg::kTraceInvalidData, EXIT_CORRUPTED, damage.c_str());
    }
  }

  // The records the formatter read that are whole: it counts one whose data the file's
  // end cuts when nothing follows its %d.
  static std::uint64_t wholeRecords(const QelClTraceFormatter& formatter, const QelClTraceFileScan& scan) {
    return std::min<std::uint64_t>(formatter.getRecordCount(), scan.getWholeRecordCount());
  }

  void display(QelClTraceFormatter& formatter, const QelClTraceFileScan& scan) {
    const char* value = nullptr;
    if (ui.hasArgString(static_cast<unsigned long>(msg::kTraceFormatSwitch), value)) formatter.setFormatString(value);
    if (ui.hasArgString(static_cast<unsigned long>(msg::kTraceIndentSwitch), value)) formatter.setDisplayIndentation(value);
    formatter.bShowNesting = ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceNestSwitch));
    formatter.bShowFunctionRecords = !ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceNoFunctionRecordsSwitch));
    formatter.bRepeatFunctionNames = !ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceSkipFunctionNamesSwitch));
    formatter.bHex = ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceHexSwitch));
    formatter.bBinary = ui.hasArgSwitch(static_cast<unsigned long>(msg::kTraceBinarySwitch));
    WholeRecords whole(std::cout.rdbuf(), formatter, scan.getWholeRecordCount());
    std::ostream out(&whole);
    format(formatter, out, true, scan);
    if (wholeRecords(formatter, scan) != 0) std::cout << '\n';
    std::cout.flush();
  }

  void showStatus(const QelClTraceInstance& trace, const QelClTraceFilter& filter,
                  const QelClTraceFormatter& formatter, const QelClTraceFileScan& scan, bool exists) {
    const QelClTraceEnvironment& environment = trace.getEnvironment();
    std::uint64_t records = 0;
    if (exists) {
      NullBuffer nothing;
      std::ostream discarded(&nothing);
      format(formatter, discarded, false, scan);
      records = wholeRecords(formatter, scan);
    }
    ui.formatHeader(text(msg::kTraceStatus));
    const std::string keyInstance = std::string(key) + (instance != nullptr ? std::string("/") + instance : "");
    ui.format(text(msg::kTraceKeyInstance), keyInstance.c_str());
    ui.formatBool(text(msg::kTraceActive), environment.isActive());
    ui.formatBool(text(msg::kTraceEnabled), trace.isEnabled());
    ui.formatBool(text(msg::kTraceSharedMemory), environment.isSharedMemory());
    ui.format(text(msg::kTraceBufferSize), static_cast<unsigned long>(environment.getBufferSize()) +
                                     QelClTraceBufferManager::HEADER_SIZE);
    ui.format(text(msg::kTraceFile), environment.getTraceFileName());
    ui.format(text(msg::kTraceEntries), static_cast<unsigned long>(records));
    ui.format(text(msg::kTraceCompression), static_cast<double>(environment.getCompressionRate()));
    ui.formatHeader(text(msg::kTraceFilter));
    ui.format(text(msg::kTraceDetailLevel), QelClTraceFilter::getDetailAsCString(
                                      static_cast<QelEnTraceDetail>(filter.getDetailLevel() & 3u)));
    ui.format(text(msg::kTraceFilterProcess), static_cast<unsigned long>(filter.getProcessId()));
    ui.format(text(msg::kTraceFilterThread), static_cast<unsigned long>(filter.getThreadId()));
    ui.formatBool(text(msg::kTraceComponentSet), filter.usesCompIdFilter());
    if (filter.usesCompIdFilter()) {
      ui.format(text(msg::kTraceIncluded), componentList(filter, true).c_str());
      ui.format(text(msg::kTraceExcluded), componentList(filter, false).c_str());
    }
  }

  static unsigned long builtInEntries() {
    unsigned long count = 0;
    qelMsgCatGetBuiltInTable(&count);
    return count;
  }

  StandardOutput output;  // before the frame, which writes its title at once
  QelClConsoleUI ui;
  QelClMessage message{ui.getMessageCatalog(), 1};
  const char* key = nullptr;
  const char* instance = nullptr;
  const char* file = nullptr;
  const char* traceFile = nullptr;  // the name the environment gives
};

}  // namespace

int main(int argc, char** argv) {
  return qelapp::runToTheEnd("QELTRACE", EXIT_LIBRARY_FAILED, [&] { return TraceController(argc, argv).run(); });
}
