// qelconv: converts text from one code set to another, files given in order or
// standard input ("-" among the files, or no file at all), to standard output byte for
// byte (qelconv -from 37 -to utf-8 < in > out). Strict by default: malformed input and
// a character the target lacks stop the file with its offset; -subst writes the
// target's substitution character for the latter, -lenient converts as the library's
// one-shot converters do. -l lists the code sets. The frame writes to standard error; a
// spinner shows progress on large inputs when standard error is a terminal. Exit codes:
// 0 converted; 1 an input could not be read, was malformed or held a character the
// target lacks; 2 an unknown code set; 3 an unsupported pair; 4 standard output could
// not be written (nothing more is converted then); 5 the library failed (memory ran
// out); 201 to 204 the frame's own (usage, help, a missing value).
#include <vrnqel43.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "apps/program_failures.h"

namespace {

// The "-" item makes a lone "-" a legal argument: standard input among the files.
const char kUsage[] =
    "(-from <code set>) (-to <code set>) [-subst|-lenient] [<file>|- ...]\n"
    "-l";
const char kHelp[] =
    "-from <code set>   the code set of the input: a CCSID, its name or an alias\n"
    "                   (37, IBM-1047, CP850, latin1, UTF-8, UTF-16BE)\n"
    "-to <code set>     the code set of the output\n"
    "-subst             a character the output's code set lacks becomes its\n"
    "                   substitution character instead of an error\n"
    "-lenient           converts as the library's one-shot converters do: only an\n"
    "                   input that ends inside a character stops it\n"
    "[<file>|- ...]     the input files, converted in order; - and no file at all are\n"
    "                   standard input\n"
    "-l                 lists the code sets: number, name, kind, whether they convert";

enum : unsigned long {
  EXIT_FAILED = 1, EXIT_UNKNOWN_CODE_SET = 2, EXIT_UNSUPPORTED = 3, EXIT_WRITE_FAILED = 4, EXIT_LIBRARY_FAILED = 5
};

constexpr std::size_t kPieceSize = 1 << 20;
constexpr unsigned int kProgressEvery = 16;  // pieces between two steps of the spinner

// The code set as the user knows it from the command line and other tools.
std::string codeSetText(const QelClCCSID& ccsid) {
  switch (static_cast<std::uint32_t>(ccsid.getCCSID())) {
    case CCSID_UTF8: return "UTF-8";
    case CCSID_UCS2_BIG_ENDIAN: return "UTF-16BE";
    case CCSID_UCS2_LITTLE_ENDIAN: return "UTF-16LE";
    default: return "CCSID " + std::to_string(ccsid.getCCSID());
  }
}

// One word for the kind of a registry row.
const char* kindText(const QelClCCSID& ccsid) {
  if (ccsid.isUCS2()) return "UCS-2";
  const char* base = ccsid.isASCII() ? "ASCII" : ccsid.isEBCDIC() ? "EBCDIC" : "";
  if (ccsid.isDBCS()) return *base == 'A' ? "ASCII-double-byte" : *base == 'E' ? "EBCDIC-double-byte" : "double-byte";
  if (ccsid.isSBCS()) return *base == 'A' ? "ASCII-single-byte" : *base == 'E' ? "EBCDIC-single-byte" : "single-byte";
  return *base != '\0' ? base : "-";
}

class ConversionTool {
public:
  ConversionTool(int argc, char** argv)
      : argc_(argc), argv_(argv), ui(argc, argv, nullptr, nullptr, QEL_LEVEL) {
    ui.setOutputStream(std::cerr);  // standard output carries the converted bytes alone
    ui.displayTitle("Code-page conversion tool", nullptr);
  }

  int run() {
    ui.handleUsageHelp(kUsage, kHelp);
    qel::program_host::useByteStreams();  // a closed pipe is a write error like any other
    if (ui.hasArgSwitch("l")) return list();
    const QelClCCSID from = codeSet("from");
    const QelClCCSID to = codeSet("to");
    QelEnConversionMode mode = CONVERSION_STRICT;
    if (ui.hasArgSwitch("subst")) mode = CONVERSION_SUBSTITUTE;
    if (ui.hasArgSwitch("lenient")) {
      if (mode == CONVERSION_SUBSTITUTE) {
        ui.error("Only one of -subst and -lenient can be given");
        ui.displayUsage(true);
      }
      mode = CONVERSION_LENIENT;
    }
    QelClStreamConverter converter(from, to, mode);
    if (!converter.isSupported()) {
      const std::string pair = codeSetText(from) + " to " + codeSetText(to);
      ui.error("No conversion between these code sets", pair.c_str());
      ui.format(_QelStError{CPCONVERTER_UNSUPPORTED, QelEnErrorClass::INCONSISTENT_SITUATION});
      ui.processExit(EXIT_UNSUPPORTED);
    }
    progress = qel::program_host::isStandardErrorTerminal();
    bool ok = true;
    bool anyFile = false;
    QelClArgvCheckCursor argument(argc_, argv_, kUsage);
    for (bool valid = argument.setToFirst(); valid && !outputFailed; valid = argument.setToNext()) {
      const char* name = argument.getAsCString();
      if (std::strcmp(name, "-") == 0) {
        anyFile = true;
        ok = convert(converter, stdin, "standard input") && ok;
        continue;
      }
      if (!argument.isFree()) continue;
      anyFile = true;
      std::uint32_t reason = 0;
      std::FILE* in = qelapp::openToRead(name, reason);
      if (in == nullptr) {
        ui.error("The file could not be read", qelapp::withReason(name, reason).c_str());
        ok = false;
        continue;
      }
      ok = convert(converter, in, name) && ok;
      static_cast<void>(std::fclose(in));  // read only: nothing is lost
    }
    if (!anyFile) ok = convert(converter, stdin, "standard input");
    if (progress && steps != 0) ui.progressStop();
    if (outputFailed) {
      ui.error("The output could not be written", qelapp::withReason("standard output", outputError).c_str());
      ui.processExit(EXIT_WRITE_FAILED);
    }
    return ok ? 0 : static_cast<int>(EXIT_FAILED);
  }

private:
  QelClCCSID codeSet(const char* name) {
    const char* text = nullptr;
    ui.reqArgString(name, text);
    const QelEnCCSID number = QelClCCSID::findByName(text);
    if (number == CCSID_NONE) {
      ui.error("Unknown code set", text);
      ui.processExit(EXIT_UNKNOWN_CODE_SET);
    }
    return QelClCCSID(number);
  }

  // Every code set of the registry on a line of its own: number, name, kind, and
  // whether this build converts it to and from Unicode (yes), only from it (from),
  // only to it (to) or not at all (no).
  int list() {
    std::size_t count = 0;
    const QelClCCSID::Entry* rows = QelClCCSID::getRegistry(count);
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
      const QelClCCSID ccsid(static_cast<QelEnCCSID>(rows[i].ulNumber));
      const bool read = QelClStreamConverter(ccsid, CCSID_UTF8).isSupported();
      const bool write = QelClStreamConverter(CCSID_UTF8, ccsid).isSupported();
      char line[96];
      static_cast<void>(std::snprintf(line, sizeof line, "%-6u %-11s %-19s %s\n", static_cast<unsigned>(rows[i].ulNumber),
                                      rows[i].pszName, kindText(ccsid),
                                      read ? (write ? "yes" : "from") : (write ? "to" : "no")));
      text += line;
    }
    qelapp::clearRuntimeError();
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
      ui.error("The output could not be written", qelapp::withReason("standard output", qelapp::runtimeError()).c_str());
      ui.processExit(EXIT_WRITE_FAILED);
    }
    return 0;
  }

  // Converts one input as a stream of its own, writing what converts before a fault.
  bool convert(QelClStreamConverter& converter, std::FILE* in, const char* name) {
    converter.reset();
    std::vector<char> data(kPieceSize);
    bool faultless = true;
    for (bool last = false; !last && faultless;) {
      qelapp::clearRuntimeError();
      const std::size_t size = std::fread(data.data(), 1, data.size(), in);
      if (std::ferror(in)) {
        ui.error("The file could not be read", qelapp::withReason(name, qelapp::runtimeError()).c_str());
        return false;
      }
      last = size < data.size();
      const bool converted = converter.convert(data.data(), size, last);
      const std::size_t written = converter.getOutputSize();
      qelapp::clearRuntimeError();
      if (written != 0 && std::fwrite(converter.getOutput(), 1, written, stdout) != written) return failOutput();
      if (!converted) {
        reportFault(converter, name);
        faultless = false;
      }
      if (progress && faultless && ++pieces % kProgressEvery == 0) {
        ui.progressStep(name);
        ++steps;
      }
    }
    qelapp::clearRuntimeError();
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) return failOutput();
    return faultless;
  }

  // "invalid UTF-8 at byte 3 of notes.txt: overlong form", or for a character the
  // target lacks "U+20AC cannot be represented in CCSID 37 at byte 3 of notes.txt".
  void reportFault(const QelClStreamConverter& converter, const char* name) {
    const QelEnTextFault fault = converter.getFault();
    if (fault == TEXTFAULT_NONE) {
      ui.error("The input could not be converted", name);
      ui.format(converter.getError());
      return;
    }
    const std::string where = " at byte " + std::to_string(converter.getFaultOffset()) + " of " + name;
    std::string message;
    if (fault == TEXTFAULT_UNMAPPABLE) {
      char character[16];
      static_cast<void>(std::snprintf(character, sizeof character, "U+%04X",
                                      static_cast<unsigned>(converter.getFaultCharacter())));
      message = std::string(character) + " cannot be represented in " + codeSetText(converter.getTargetCCSID()) +
                where;
    } else {
      message = "invalid " + codeSetText(converter.getSourceCCSID()) + where + ": " + qelTextFaultGetText(fault);
    }
    ui.error(message.c_str());
  }

  // Keeps the host's reason of the write that failed; run() reports it.
  bool failOutput() {
    outputFailed = true;
    outputError = qelapp::runtimeError();
    return false;
  }

  int argc_;
  char** argv_;
  QelClConsoleUI ui;
  bool progress = false;
  unsigned int pieces = 0;
  unsigned int steps = 0;
  bool outputFailed = false;
  std::uint32_t outputError = 0;
};

}  // namespace

int main(int argc, char** argv) {
  return qelapp::runToTheEnd("QELCONV", EXIT_LIBRARY_FAILED, [&] { return ConversionTool(argc, argv).run(); });
}
