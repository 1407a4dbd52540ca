// A console tool built on the library's console frame: it checks its command line
// against a usage text, shows usage and help on -h, reports what it was given as
// label/value lines, hex-dumps a file on request and turns a progress spinner while
// it counts the letters of its words.
#include <vrnqel43.h>

#include <cstring>
#include <fstream>

namespace {

const char kUsage[] =
    "(-name <name>) [(-repeat <count>)] [-verbose]\n"
    "[(-dump <file>)] [<word> ..]";
const char kHelp[] =
    "Counts the letters of the words given, as often as -repeat says.\n"
    "-name    the name of this run\n"
    "-repeat  how often to count (1 to 1000, default 200)\n"
    "-verbose show the words one by one\n"
    "-dump    show the first 256 bytes of a file in hexadecimal\n"
    "<word>   the words to count";

void dumpFile(QelClConsoleUI& ui, const char* name) {
  std::ifstream file(name, std::ios::binary);
  if (!file) {
    ui.error("Cannot open the file", name);
    return;
  }
  char data[256];
  file.read(data, sizeof(data));
  ui.dump(name, data, static_cast<unsigned int>(file.gcount()));
}

}  // namespace

int main(int argc, char** argv) {
  QelClConsoleUI ui(argc, argv, "Letter counter", "built on the vrnqel43 console frame");
  ui.handleUsageHelp(kUsage, kHelp);

  const char* name = nullptr;
  ui.reqArgString("name", name);
  long repeat = 200;
  ui.hasArgNumval("repeat", repeat);
  if (repeat < 1 || repeat > 1000) ui.fatal(1, "The count must lie between 1 and 1000", "-repeat");
  const bool verbose = ui.hasArgSwitch("verbose");

  ui.formatHeader("Command line");
  ui.format("Name", name);
  ui.format("Repeat", repeat);
  ui.formatBool("Verbose", verbose);

  unsigned long words = 0;
  unsigned long letters = 0;
  QelClArgvFreeCursor word(argc, argv, kUsage);
  for (bool valid = word.setToFirst(); valid; valid = word.setToNext()) {
    ++words;
    if (verbose) ui.format("Word", word.getAsCString());
  }
  ui.format("Words", words);

  ui.progressStart();
  for (long round = 0; round < repeat; ++round) {
    for (bool valid = word.setToFirst(); valid; valid = word.setToNext())
      letters += static_cast<unsigned long>(std::strlen(word.getAsCString()));
    if (round % 10 == 0) {
      ui.progressStep("counting");
      qelSleepMilliSeconds(20);
    }
  }
  ui.progressStop();
  ui.format("Letters counted", letters);

  const char* file = nullptr;
  if (ui.hasArgString("dump", file)) dumpFile(ui, file);
  ui.newline();
  return 0;
}
