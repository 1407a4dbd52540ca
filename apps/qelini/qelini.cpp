// qelini: gets, sets, deletes and lists the entries of an INI file from the shell.
// Standard output carries data alone: a get prints the value, a listing name=value
// lines, so that v=$(qelini -file f -section s -option o) works; the title and every
// message go to standard error. The file is read whole and edited as text: a change
// touches only the lines of its option or section, and every other byte (comment and
// blank lines, indentation, a byte order mark, line ends) stays as it was. A change
// takes the file's lock before reading it and replaces the file in one step, so that
// writers at the same moment wait for each other and none loses another's change; a set
// to the value already there writes nothing. A file with a line that is not understood
// (binary content, a line over 1023 characters, a header without ']', a line that is no
// option) is read with a warning, but never changed.
// Exit codes:
//   0    done, or found
//   1    the file, section or option does not exist
//   2    the file could not be written (locked by another writer too long, no room, no
//        permission)
//   3    the file could not be read whole, or a change was refused because a line of the
//        file was not understood
//   4    the command line was refused: contradictory switches, or a name or value beyond
//        the limits (file name 260 characters, section name 80, option name and value
//        1022 together, a line 1023)
//   5    standard output could not be written
//   6    the library failed, such as when memory ran out
//   201 to 204 the frame's own (usage, help, a missing switch value)
#include <vrnqel43.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>

#include "apps/program_failures.h"

namespace {

const char kUsage[] =
    "(-file <file>) (-section <section>) [(-option <option>)]\n"
    "[(-set <value>)] [-delete] [-list]";
const char kHelp[] =
    "-file <file>         the INI file (created by -set when missing)\n"
    "-section <section>   the section\n"
    "[-option <option>]   the option: its value is printed, or set, or deleted\n"
    "[-set <value>]       sets the option, adding it and its section if need be\n"
    "[-delete]            deletes the option, or without -option the section\n"
    "[-list]              lists the options of the section as name=value lines\n"
    "At most one of -set, -delete and -list; -list takes no -option.";

enum : int {
  EXIT_NOT_FOUND = 1,
  EXIT_NOT_WRITTEN = 2,
  EXIT_NOT_READ = 3,
  EXIT_REFUSED = 4,
  EXIT_NO_OUTPUT = 5,
  EXIT_FAILED = 6
};

// The longest file name the library's names hold; a longer one would be cut to another
// file's name.
constexpr std::size_t kLongestFileName = 260;

// Thrown, once the reason was reported, to end the program with its code: on the way out
// an update under way is abandoned and the file stays as it was.
struct Ending {
  int iCode;
};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

class IniTool {
public:
  IniTool(int argc, char** argv) : ui(argc, argv, nullptr, nullptr, QEL_LEVEL) {
    ui.setOutputStream(std::cerr);  // standard output carries the data alone
    ui.displayTitle("INI file tool", nullptr);
  }

  int run() {
    ui.handleUsageHelp(kUsage, kHelp);
    const char* fileName = nullptr;
    ui.reqArgString("file", fileName);
    ui.reqArgString("section", section);
    ui.hasArgString("option", option);
    const char* value = nullptr;
    const bool set = ui.hasArgString("set", value);
    const bool remove = ui.hasArgSwitch("delete");
    const bool list = ui.hasArgSwitch("list");
    if (int{set} + int{remove} + int{list} > 1) fail(EXIT_REFUSED, "Only one of -set, -delete and -list may be given");
    if (set && option == nullptr) fail(EXIT_REFUSED, "-set needs -option");
    if (list && option != nullptr) fail(EXIT_REFUSED, "-list lists the whole section and takes no -option");
    checkLimits(fileName, value);

    const QelClFilename name(fileName);
    if (set || remove) return change(name, value);
    QelClIniFileText text;
    if (!read(name, text)) fail(EXIT_NOT_FOUND, "File not found", fileName);
    if (!text.isUnderstood()) warnNotUnderstood(text);
    qelapp::clearRuntimeError();  // a failed write of the data below leaves its reason
    if (list) {
      if (!text.hasSection(section)) fail(EXIT_NOT_FOUND, "Section not found", section);
      for (QelClIniFileTextOptionCursor options(text, section); options.isValid(); options.setToNext()) {
        print(options.getOption());
        print("=");
        print(options.getValue());
        print("\n");
      }
    } else if (option != nullptr) {
      const char* found = nullptr;
      if (!text.getValue(section, option, found)) {
        fail(EXIT_NOT_FOUND, text.hasSection(section) ? "Option not found" : "Section not found",
             text.hasSection(section) ? option : section);
      }
      print(found);
      print("\n");
    } else if (!text.hasSection(section)) {
      fail(EXIT_NOT_FOUND, "Section not found", section);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
      fail(EXIT_NO_OUTPUT, "Standard output could not be written", QelClHostErrorText(qelapp::runtimeError()).getText());
    }
    return 0;
  }

  // Reports a failure: through the frame, or, when it is quiet, as one line of its own on
  // standard error, for a failure is never silent. Then ends with code.
  [[noreturn]] void fail(int code, const char* text, const char* p2 = nullptr, const char* p3 = nullptr) {
    if (ui.mustBeQuiet()) {
      std::cerr << ui.getProcessName() << ": " << text;
      for (const char* part : {p2, p3}) {
        if (part != nullptr) std::cerr << ": " << part;
      }
      std::cerr << std::endl;
    } else {
      ui.error(text, p2, p3);
    }
    throw Ending{code};
  }

private:
  // Names and values the library would cut, and names no line could carry, are refused
  // before any of them is used.
  void checkLimits(const char* fileName, const char* value) {
    if (std::strlen(fileName) > kLongestFileName) fail(EXIT_REFUSED, "The file name is longer than 260 characters");
    if (!QelClIniFileText::isValidSectionName(section)) {
      fail(EXIT_REFUSED, "Not a section name: empty, or with ']' or a control character", section);
    }
    if (std::strlen(section) > QelClIniFileText::SECTION_NAME_LENGTH) {
      fail(EXIT_REFUSED, "The section name is longer than 80 characters");
    }
    if (option != nullptr && !QelClIniFileText::isValidOptionName(option)) {
      fail(EXIT_REFUSED, "Not an option name: empty, with a blank, '=' or a control character, or beginning with ';', "
           "'#' or '['", option);
    }
    if (value != nullptr && !QelClIniFileText::fitsOption(option, value)) {
      fail(EXIT_REFUSED, "The option name and value are longer than an option holds (1022 characters together)");
    }
  }

  // The whole file into text; false when there is no such file.
  bool read(const QelClFilename& name, QelClIniFileText& text) {
    std::uint32_t reason = 0;
    const File in(qelapp::openToRead(name.getAsCString(), reason), std::fclose);
    if (!in) {
      if (qelHostErrorGetClass(reason) == QelEnErrorClass::IO_NOT_EXISTENT) return false;
      fail(EXIT_NOT_READ, "The file could not be read", name.getAsCString(), QelClHostErrorText(reason).getText());
    }
    static char block[64 * 1024];
    qelapp::clearRuntimeError();
    std::size_t got = std::fread(block, 1, sizeof block, in.get());
    for (; got != 0; got = std::fread(block, 1, sizeof block, in.get())) text.append(block, got);
    if (std::ferror(in.get()) != 0) {
      fail(EXIT_NOT_READ, "The file could not be read whole", name.getAsCString(),
           QelClHostErrorText(qelapp::runtimeError()).getText());
    }
    return true;
  }

  // The first line that was not understood, and why.
  static std::string describe(const QelClIniFileText& text) {
    using Fault = QelClIniFileText::QelEnLineFault;
    const char* why = "";
    switch (text.getFault()) {
      case Fault::NONE: break;
      case Fault::NUL_BYTE: why = "a NUL byte (binary content)"; break;
      case Fault::LINE_TOO_LONG: why = "longer than 1023 characters"; break;
      case Fault::NO_CLOSING_BRACKET: why = "a '[' without ']'"; break;
      case Fault::NOT_AN_OPTION: why = "neither a comment nor an option ('=') nor a continuation"; break;
      case Fault::OUTSIDE_SECTION: why = "before the first section, neither a comment nor an option"; break;
    }
    return "line " + std::to_string(text.getFaultLine()) + ": " + why;
  }

  void warnNotUnderstood(const QelClIniFileText& text) {
    ui.warning("A line of the file was not understood and is passed over", describe(text).c_str());
  }

  // Lock, read, change, write the whole and replace the file in one step. A set to the
  // value already there, like any failure, lets the lock go and leaves the file alone.
  int change(const QelClFilename& name, const char* value) {
    QelClFileUpdate update(name);
    if (!update.lock()) notWritten(update);
    QelClIniFileText text;
    if (!read(name, text) && value == nullptr) fail(EXIT_NOT_FOUND, "File not found", name.getAsCString());
    using Change = QelClIniFileText::QelEnChange;
    const Change changed = value != nullptr        ? text.setValue(section, option, value)
                           : option != nullptr     ? text.deleteOption(section, option)
                                                   : text.deleteSection(section);
    switch (changed) {
      case Change::CHANGED: break;
      case Change::UNCHANGED: return 0;
      case Change::NOT_FOUND:
        if (option != nullptr && text.hasSection(section)) fail(EXIT_NOT_FOUND, "Option not found", option);
        fail(EXIT_NOT_FOUND, "Section not found", section);
      case Change::NOT_UNDERSTOOD:
        fail(EXIT_NOT_READ, "The file is not changed, a line of it was not understood", describe(text).c_str());
      case Change::INVALID_NAME:  // checked before
      case Change::TOO_LONG:
        fail(EXIT_REFUSED, "The changed line would be longer than 1023 characters");
    }
    if (!update.write(text.getText(), text.getSize()) || !update.commit()) {
      notWritten(update);
    }
    return 0;
  }

  // Why an update failed: the host's reason, or, where the host gave none, the error's.
  [[noreturn]] void notWritten(const QelClFileUpdate& update) {
    const _QelStError& error = update.getError();
    const QelClHostErrorText host(update.getHostError());
    const char* why = host.getText();
    if (*why == '\0') {
      const bool held = error.enErrorClass == QelEnErrorClass::IO_ALREADY_IN_USE;
      why = held ? "another writer holds its lock" : "no reason given";
    }
    const bool locked = error.ulErrorId != FILE_COULD_NOT_LOCK;
    fail(EXIT_NOT_WRITTEN, locked ? "The file could not be written" : "The file could not be locked",
         update.getFilename().getAsCString(), why);
  }

  void print(const char* text) { static_cast<void>(std::fputs(text, stdout)); }

  QelClConsoleUI ui;
  const char* section = nullptr;
  const char* option = nullptr;
};

}  // namespace

// Every way out ends with a message and a code: a failure reported on the way, or an
// exception of the library or the runtime (running out of memory for a huge file).
int main(int argc, char** argv) {
  try {
    IniTool tool(argc, argv);
    try {
      return tool.run();
    } catch (const Ending& ending) {
      return ending.iCode;
    } catch (const QelClException& e) {
      if (e.getErrorClass() == QelEnErrorClass::OUT_OF_MEMORY) tool.fail(EXIT_FAILED, "Out of memory");
      const std::string id = std::to_string(e.getErrorId());
      tool.fail(EXIT_FAILED, "The library failed", id.c_str(), e.getModule());
    } catch (const std::bad_alloc&) {
      tool.fail(EXIT_FAILED, "Out of memory");
    }
  } catch (const Ending& ending) {
    return ending.iCode;
  } catch (...) {
    static_cast<void>(std::fputs("qelini: ended by an unexpected failure\n", stderr));
  }
  return EXIT_FAILED;
}
