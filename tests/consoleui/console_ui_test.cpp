// The console frame inside one process: process names, output redirected to a string
// stream, usage texts. The layouts on the real console streams and the exits are
// checked by the output tests that run PROG.
#include "tests/qel_test.h"

namespace {

std::string processName(const char* program) {
  const char* argv[] = {program, nullptr};
  QelClConsoleUI ui(1, argv);
  return ui.getProcessName();
}

TEST(ConsoleUI, ProcessNameIsTheProgramsUpperCasedNameWithoutExtension) {
  EXPECT_EQ(processName("C:\\tools\\prog.exe"), "PROG");
  EXPECT_EQ(processName("/usr/local/bin/my.tool.sh"), "MY");
  EXPECT_EQ(processName("relative/dir\\mixed/Name"), "NAME");
  EXPECT_EQ(processName("abcdefghijklmnopqrstuvwxyz0123.exe"), "ABCDEFGHIJKLMNOPQRSTUVWXY");
  EXPECT_EQ(processName("abcdefghijklmnopqrstuvwx.exe"), "ABCDEFGHIJKLMNOPQRSTUVWX");
  EXPECT_EQ(processName("dir/"), "");
}

// The layouts of every style are the output tests' concern; here the lines reach the
// stream set, and with -quiet nothing does.
TEST(ConsoleUI, OutputGoesToTheStreamSetUnlessQuiet) {
  const char* argv[] = {"prog", "-quiet", nullptr};
  QelClConsoleUI ui(1, argv);
  EXPECT_FALSE(ui.mustBeQuiet());
  std::ostringstream out;
  ui.setOutputStream(out);
  ui.info("Title", "a", "b");
  ui.format("Level", 1L);
  ui.warning("w");
  const std::string line(74, '-');
  EXPECT_EQ(out.str(), "\n" + line + "\nPROG: Title:\n      a: b\n  Level" + std::string(31, '.') + ": 1\n\n" +
                           line + "\nPROG: Warning:\n      w\n");

  QelClConsoleUI quiet(2, argv, "A title");
  EXPECT_TRUE(quiet.mustBeQuiet());
  std::ostringstream none;
  quiet.setOutputStream(none);
  quiet.info("Title", "a");
  quiet.format("Level", "x");
  EXPECT_EQ(none.str(), "");
}

// The built-in switches need texts: an application catalog without module and table
// knows no "quiet".
TEST(ConsoleUI, ApplicationCatalogServesItsTableWhenNoModuleLoads) {
  const char* argv[] = {"prog", "-quiet", nullptr};
  unsigned long entries = 0;
  const char* const* table = qelMsgCatGetBuiltInTable(&entries);
  QelClConsoleUI withTable(QelClFilename("myapp"), table, entries, 0, 2, argv, 18ul);
  EXPECT_TRUE(withTable.mustBeQuiet());
  EXPECT_FALSE(withTable.getMessageCatalog().isDefaultCatalog());
  QelClConsoleUI withoutTable(QelClFilename("myapp"), nullptr, 0, 0, 2, argv, 0ul);
  EXPECT_FALSE(withoutTable.mustBeQuiet());
  EXPECT_FALSE(withoutTable.getMessageCatalog().hasTexts());
}

TEST(ConsoleUI, UsageTextsAreCopiesAndTheEmptyOneIsShared) {
  const char* argv[] = {"prog", "-key", "k", nullptr};
  QelClConsoleUI ui(3, argv);
  EXPECT_EQ(ui.getUsage(), gs_cpszNoUsage);
  std::string usage = "(-key <key>)";
  ui.handleUsageHelp(usage.c_str(), nullptr);
  usage[1] = 'x';
  EXPECT_STREQ(ui.getUsage(), "(-key <key>)");
  ui.handleUsageHelp("(-key <k>) [-v]", "help");
  EXPECT_STREQ(ui.getUsage(), "(-key <k>) [-v]");
  EXPECT_EQ(std::string(gs_cpszLine), std::string(74, '-') + "\n");
}

}  // namespace
