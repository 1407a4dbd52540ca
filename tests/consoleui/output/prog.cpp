// The driver of the console-frame output tests: a console program named PROG whose
// behaviour is picked by the environment variable PROG_SCENARIO. The tests run it
// with arguments and input and compare what it writes and its exit code.
#include <vrnqel43.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

namespace {

const char kUsage[] = "(-key <key>) [-verbose]\n[(-file <filename>)]";
const char kHelp[] =
    "-key      the key to use\n-verbose  tell more\n@\n-file     a file to read";

// The usage of PROG, then the values it was given.
int check(QelClConsoleUI& ui) {
  ui.handleUsageHelp(kUsage, kHelp);
  const char* key = nullptr;
  ui.reqArgString("key", key);
  ui.format("key", key);
  ui.formatBool("verbose", ui.hasArgSwitch('v') || ui.hasArgSwitch("verbose"));
  const char* file = "";
  ui.hasArgString("-file", file);
  ui.format("file", file);
  return 0;
}

// Repeated and refused switches.
int repeat(QelClConsoleUI& ui) {
  ui.disableTaggedLines();
  ui.handleUsageHelp("[-x] [-y]\n![-secret] internal use", nullptr);
  ui.info("Accepted");
  return 0;
}

// Every layout of the output: headers, messages, label/value lines in the style
// given by -style, error records, exception details, a dump.
int layout(QelClConsoleUI& ui) {
  long style = 0;
  ui.hasArgNumval("style", style);
  ui.setFormatStyle(static_cast<QelClConsoleUI::QelEnFormatStyle>(style));
  ui.header("Section");
  ui.info("Title", nullptr);
  ui.info("Title", "a", "b");
  ui.warning("Careful", "twice");
  ui.error(30ul, "detail");
  ui.formatHeader("Values");
  ui.format("Level", "abc");
  ui.format("Error ID", 'x');
  ui.format("Bytes", "abcdef", 3u);
  ui.format("Count", -12L);
  ui.format("Size", 4000000000ul);
  ui.format("Int", 7);
  ui.format("Short", static_cast<short>(-3));
  ui.format("Ratio", 2.5);
  ui.format("A label that is longer than the field width", 1u);
  ui.formatBool(42ul, true);
  ui.formatBool("Off", false);
  ui.format(_QelStError{0, QelEnErrorClass(0)});
  ui.format(_QelStError{0, QelEnErrorClass(0)}, true);
  ui.format(_QelStUserError(CONUI_ARG_MISSING, QelEnErrorClass::FUNCTION_NOT_SUPPORTED,
                           QelEnErrorSeverity::NONE, QelEnErrorAction::INFORM));
  QelClException exception(CONUI_USAGE, QelEnErrorClass::OUT_OF_MEMORY,
                           QelEnErrorSeverity::NORMAL, QelEnErrorAction::INFORM, "no room");
  exception.setLocation("prog:42", 42);
  ui.exception(exception, "while testing");
  const char data[] = "0123456789abcdefXYZ";
  ui.dump("Data", data, 19);
  ui.setFormatWidth(10);
  ui.setFormatFillChar('_');
  ui.setFormatStyle(QelClConsoleUI::LEFT_FILLED);
  ui.format("Narrow", 1L);
  ui.horizontalBar();
  return 0;
}

// Switch values: -n (long), -i (int), -s (short), -t (text); -want requires -w.
// With -usage the command line is checked first.
int queries(QelClConsoleUI& ui) {
  if (ui.hasArgSwitch("usage"))
    ui.handleUsageHelp("[-usage] [-want] [-w]\n[(-n <n>)] [(-i <i>)] [(-s <s>)] [(-t <t>)]",
                       nullptr);
  long n = 0;
  int i = 0;
  short s = 0;
  const char* t = "";
  if (ui.hasArgNumval('n', n)) ui.format("n", n);
  if (ui.hasArgNumval("i", i)) ui.format("i", i);
  if (ui.hasArgNumval("-s", s)) ui.format("s", s);
  if (ui.hasArgString('t', t)) ui.format("t", t);
  if (ui.hasArgSwitch("want")) ui.reqArgSwitch('w');
  return 0;
}

// What -quiet leaves on the console.
int quiet(QelClConsoleUI& ui) {
  ui.header("Section");
  ui.info("Title", "a");
  ui.warning("Careful");
  ui.error("Broken");
  ui.format("Level", 1L);
  long n = 0;
  ui.hasArgNumval('n', n);
  if (ui.hasArgSwitch("fatal")) ui.fatal(7, "Giving up");
  return 0;
}

int prompts(QelClConsoleUI& ui) {
  const long count = ui.promptNumval("Count", 1, 10, 5);
  std::cout << "\ncount=" << count << '\n';
  const long delta = ui.promptNumval("Delta", -5, 5, 0);
  std::cout << "\ndelta=" << delta << '\n';
  const bool yes = ui.promptYesNo("Go on", false);
  std::cout << "\nyes=" << yes << '\n';
  std::cout << "\nname=" << ui.promptString("Name", "anon") << '\n';
  std::cout << "\nfree=[" << ui.promptString("Free", nullptr) << "]\n";
  const bool again = ui.promptYesNo("Again", true);
  std::cout << "\nagain=" << again << '\n';
  return 0;
}

// The default outside the limits at the end of input.
int endOfInput(QelClConsoleUI& ui) {
  const long count = ui.promptNumval("Count", 1, 10, 50);
  std::cout << "\ncount=" << count << '\n';
  ui.promptForKey();
  return 0;
}

int progress(QelClConsoleUI& ui) {
  ui.progressStart();
  for (int step = 0; step < 5; ++step) ui.progressStep(step == 2 ? "working" : nullptr);
  ui.progressStop();
  ui.progressStart();
  ui.progressStep(nullptr);
  ui.newline();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* scenario = std::getenv("PROG_SCENARIO");
  if (scenario == nullptr) return 1;
  if (std::strcmp(scenario, "bare") == 0) {
    QelClConsoleUI ui(argc, argv);
    ui.displayHelp(false);
    ui.displayUsage(true);
  }
  if (std::strcmp(scenario, "untitled") == 0) {
    QelClConsoleUI ui(argc, argv);
    return check(ui);
  }
  QelClConsoleUI ui(argc, argv, "Frame test program", "version 1", "APP-7", "Dec 6 2026");
  const std::pair<const char*, int (*)(QelClConsoleUI&)> scenarios[] = {
      {"check", check},     {"repeat", repeat},   {"layout", layout},           {"queries", queries},
      {"quiet", quiet},     {"prompts", prompts}, {"end-of-input", endOfInput}, {"progress", progress}};
  for (const auto& [name, run] : scenarios) {
    if (std::strcmp(scenario, name) == 0) return run(ui);
  }
  return 1;
}
