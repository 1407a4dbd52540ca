#include "../qel_test.h"

namespace {

std::string shown(const char* text, unsigned long indentation, bool usageMode, bool hideTagged = false) {
  std::ostringstream out;
  QelClUsageCursor::display(out, text, indentation, usageMode, hideTagged);
  return out.str();
}

}  // namespace

TEST(UsageDisplay, UsageModeHidesGroupsAndQuotes) {
  EXPECT_EQ(shown("(-key <key>) [(-instance <instance>)]", 0, true),
            "-key <key> [-instance <instance>]\n");
  EXPECT_EQ(shown("(-key <key>) [-verbose]\n[(-file <filename>)]", 12, true),
            "-key <key> [-verbose]\n"
            "            [-file <filename>]\n");
  EXPECT_EQ(shown("[-a] \"a (quoted) word\"", 0, true), "[-a] a quoted word\n");
}

TEST(UsageDisplay, HelpModeShowsEveryCharacter) {
  EXPECT_EQ(shown("Shows (and \"quotes\") text\n@\nmore", 6, false),
            "Shows (and \"quotes\") text\n      @\n      more\n");
}

TEST(UsageDisplay, TaggedLines) {
  const char* usage = "[-a]\n![-b] [-c]\n[-d] !(-e <x>)\n[-f]";
  EXPECT_EQ(shown(usage, 2, true), "[-a]\n  [-b] [-c]\n  [-d] -e <x>\n  [-f]\n");
  EXPECT_EQ(shown(usage, 2, true, true), "[-a]\n  [-d] [-f]\n");
  // a tagged last line without a line break ends the output where it begins
  EXPECT_EQ(shown("[-a]\n![-b]", 2, false, true), "[-a]\n  ");
}

TEST(UsageDisplay, LineEndOnlyWhenTheTextLacksOne) {
  EXPECT_EQ(shown("", 4, true), "\n");
  EXPECT_EQ(shown(nullptr, 4, true), "\n");
  EXPECT_EQ(shown("a\n", 3, false), "a\n   ");
  EXPECT_EQ(shown("a\n!b\n", 3, false, true), "a\n   ");
}
