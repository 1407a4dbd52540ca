// qelconv: converts text from one code page to another, files given in order or
// standard input, to standard output byte for byte (qelconv -from 37 -to 1208 < in > out).
// The frame writes to standard error; a spinner shows progress on large inputs when
// standard error is a terminal. Input is converted a piece at a time, each piece ending
// after a line end where there is one, so that a character, a shifted double-byte run
// or a UCS-2 unit is not split. A file that can't be read and standard output that
// can't be written are reported with the host's own text for the reason. Exit codes:
// 0 converted; 1 an input could not be read, ends in an incomplete character or could
// not be converted; 2 an unknown code set; 3 an unsupported pair; 4 standard output
// could not be written (nothing more is converted then); 5 the library failed (memory
// ran out); 201 to 204 the frame's own (usage, help, a missing value).
#include <vrnqel43.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "program_failures.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define QEL_ISATTY _isatty
#else
#include <unistd.h>
#define QEL_ISATTY isatty
#endif

namespace {

const char kUsage[] = "(-from <code set>) (-to <code set>) <file> ...";
const char kHelp[] =
    "-from <code set>   the code set of the input: a CCSID or its name (37, 1047, utf-8, iso8859-1)\n"
    "-to <code set>     the code set of the output\n"
    "[<file> ...]       the input files, converted in order; standard input without any";

enum : unsigned long {
  EXIT_FAILED = 1, EXIT_UNKNOWN_CODE_SET = 2, EXIT_UNSUPPORTED = 3, EXIT_WRITE_FAILED = 4, EXIT_LIBRARY_FAILED = 5
};

constexpr std::size_t kPieceSize = 1 << 20;
constexpr unsigned int kProgressEvery = 16;  // pieces between two steps of the spinner

class ConversionTool {
public:
  ConversionTool(int argc, char** argv)
      : argc_(argc), argv_(argv), ui(argc, argv, nullptr, nullptr, QEL_LEVEL) {
    ui.setOutputStream(std::cerr);  // standard output carries the converted bytes alone
    ui.displayTitle("Code-page conversion tool", nullptr);
  }

  int run() {
    ui.handleUsageHelp(kUsage, kHelp);
    const QelClCCSID from = codeSet("from");
    const QelClCCSID to = codeSet("to");
    const QelClCodePage2CodePageConverter converter(from, to);
    if (!converter.isSupported()) {
      const std::string pair = std::to_string(from.getCCSID()) + " to " + std::to_string(to.getCCSID());
      ui.error("No conversion between these code sets", pair.c_str());
      ui.format(_QelStError{CPCONVERTER_UNSUPPORTED, QelEnErrorClass::INCONSISTENT_SITUATION});
      ui.processExit(EXIT_UNSUPPORTED);
    }
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    progress = QEL_ISATTY(2) != 0;
    bool ok = true;
    bool anyFile = false;
    for (QelClArgvFreeCursor file(argc_, argv_, kUsage); file.isValid() && !outputFailed; file.setToNext()) {
      anyFile = true;
      std::uint32_t reason = 0;
      std::FILE* in = qelapp::openToRead(file.getAsCString(), reason);
      if (in == nullptr) {
        ui.error("The file could not be read", qelapp::withReason(file.getAsCString(), reason).c_str());
        ok = false;
        continue;
      }
      ok = convert(converter, from, in, file.getAsCString()) && ok;
      static_cast<void>(std::fclose(in));  // read only: nothing is lost
    }
    if (!anyFile) ok = convert(converter, from, stdin, "standard input");
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
    const QelClCCSID ccsid(text);
    const std::string value(text);
    const bool number = !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
    if (ccsid.getCCSID() == CCSID_NONE || (!ccsid.isValid() && !number)) {
      ui.error("Unknown code set", text);
      ui.processExit(EXIT_UNKNOWN_CODE_SET);
    }
    return ccsid;
  }

  // The length of the piece of data that ends after its last line end, or all of it.
  static std::size_t pieceEnd(const QelClCCSID& from, const std::vector<char>& data, std::size_t size) {
    const bool ucs2 = from.isUCS2() && from.getCCSID() != CCSID_GB18030;
    for (std::size_t end = size; end > 0; --end) {
      const auto byte = static_cast<unsigned char>(data[end - 1]);
      if (ucs2) {
        if (end % 2 == 0 && end >= 2 && (from.isUCS2BigEndian() ? byte == 0x0A && data[end - 2] == 0
                                                                   : byte == 0 && data[end - 2] == '\n')) {
          return end;
        }
      } else if (from.isEBCDIC() ? byte == 0x15 || byte == 0x25 : byte == '\n') {
        return end;
      }
    }
    return ucs2 ? size & ~std::size_t(1) : size;
  }

  bool convert(const QelClCodePage2CodePageConverter& converter, const QelClCCSID& from, std::FILE* in,
               const char* name) {
    std::vector<char> data(kPieceSize);
    std::vector<char> output(4 * kPieceSize + 64);
    std::size_t held = 0;
    bool end = false;
    while (!end || held != 0) {
      if (!end) {
        qelapp::clearRuntimeError();
        held += std::fread(data.data() + held, 1, data.size() - held, in);
        end = held < data.size();
        if (std::ferror(in)) {
          ui.error("The file could not be read", qelapp::withReason(name, qelapp::runtimeError()).c_str());
          return false;
        }
      }
      const std::size_t piece = end ? held : pieceEnd(from, data, held);
      const char* source = data.data();
      const unsigned int written = converter.convertBytes(output.data(), static_cast<unsigned int>(output.size()),
                                                          &source, static_cast<unsigned int>(piece));
      qelapp::clearRuntimeError();
      if (std::fwrite(output.data(), 1, written, stdout) != written) return failOutput();
      const std::size_t consumed = static_cast<std::size_t>(source - data.data());
      // A character cut off at the end stays in the source: at the input's end, or when
      // nothing moves, it stays incomplete.
      const _QelStError& error = converter.getError();
      if (error.ulErrorId != NO_ERROR && error.ulErrorId != CPCONVERTER_INCOMPLETE) {
        ui.error("The input could not be converted", name);
        ui.format(error);
        return false;
      }
      if (consumed < piece && (end || consumed == 0)) {
        ui.error("The input ends in an incomplete character", name);
        ui.format(_QelStError{CPCONVERTER_INCOMPLETE, QelEnErrorClass::USER_DATA_ERROR});
        return false;
      }
      held -= consumed;
      data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(consumed));
      data.resize(kPieceSize);
      if (progress && ++pieces % kProgressEvery == 0) {
        ui.progressStep(name);
        ++steps;
      }
    }
    qelapp::clearRuntimeError();
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) return failOutput();
    return true;
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
