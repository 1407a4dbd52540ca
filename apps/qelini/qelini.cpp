// qelini: gets, sets, deletes and lists the entries of an INI file from the shell. A
// get prints the value alone on the last line of standard output, so that
// v=$(qelini -file f -section s -option o | tail -n 1) works. Indented lines continue
// the option before them. A change writes the whole file anew through the library's
// writer: comment lines are not kept, end-of-line comments are. Exit codes: 0 done or
// found; 1 the file, section or option does not exist; 2 the file could not be
// written; 201 to 204 the frame's own (usage, help, a missing switch value).
#include <vrnqel43.h>

#include <iostream>
#include <string>

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
    "[-list]              lists the options of the section as name=value lines";

enum : unsigned long { EXIT_NOT_FOUND = 1, EXIT_NOT_WRITTEN = 2 };

class IniTool {
public:
  IniTool(int argc, char** argv) : ui(argc, argv, "INI file tool", nullptr, QEL_LEVEL) {}

  int run() {
    ui.handleUsageHelp(kUsage, kHelp);
    const char* fileName = nullptr;
    ui.reqArgString("file", fileName);
    ui.reqArgString("section", section);
    ui.hasArgString("option", option);
    const char* value = nullptr;
    const bool set = ui.hasArgString("set", value);
    const bool remove = ui.hasArgSwitch("delete");
    if (set && (option == nullptr || remove)) {
      ui.error("-set takes -option and excludes -delete");
      ui.displayUsage(true);
    }

    QelClIniFileSave file{QelClFilename(fileName)};
    file.setErrorHandler(reportLine, this);
    const bool loaded = file.load(true);
    if (!loaded && !set) notFound("File not found", file.getAsCString());
    if (set) return change(file, setValue(file, value));
    if (remove) return change(file, option != nullptr ? file.deleteOption(section, option) : file.deleteSection(section));
    if (!file.getSection(section)) notFound("Section not found", section);
    if (option != nullptr) {
      const char* found = nullptr;
      if (!file.getOption(option, found)) notFound("Option not found", option);
      std::cout << found << '\n';
    }
    if (ui.hasArgSwitch("list")) {
      for (QelClIniFileOptionCursor options(file); options.isValid(); options.setToNext()) {
        if (*options.getOption() != '\0') std::cout << options.getOption() << '=' << options.getValue() << '\n';
      }
    }
    return 0;
  }

private:
  // A bad line is shown and skipped.
  static bool reportLine(const _QelStError& error, unsigned int line, void* data) {
    auto& tool = *static_cast<IniTool*>(data);
    const std::string where = "line " + std::to_string(line);
    const char* what = error.ulErrorId == INIFILE_INVAL_SECTION  ? "no ']' after a '['"
                       : error.ulErrorId == INIFILE_INVAL_OPTION ? "no '=' in an option line"
                                                                 : "an indented line with no option before it";
    tool.ui.warning("Skipped a line of the file", where.c_str(), what);
    return true;
  }

  [[noreturn]] void notFound(const char* what, const char* name) {
    ui.error(what, name);
    ui.processExit(EXIT_NOT_FOUND);
  }

  bool setValue(QelClIniFile& file, const char* value) {
    if (file.setNewValue(section, option, value)) return true;
    if (!file.getSection(section)) file.addSection(section);
    return file.addOption(section, option, value);
  }

  int change(QelClIniFileSave& file, bool changed) {
    if (!changed) notFound(option != nullptr ? "Option not found" : "Section not found", option != nullptr ? option : section);
    if (!file.save()) {
      ui.error("The file could not be written", file.getAsCString());
      ui.processExit(EXIT_NOT_WRITTEN);
    }
    return 0;
  }

  QelClConsoleUI ui;
  const char* section = nullptr;
  const char* option = nullptr;
};

}  // namespace

int main(int argc, char** argv) { return IniTool(argc, argv).run(); }
