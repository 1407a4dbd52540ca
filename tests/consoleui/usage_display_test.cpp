// Tests of how a usage text is laid out for display.
#include "tests/qel_test.h"

// Usage mode drops the group parentheses and the quotes that help mode shows; lines
// after the first are indented; tagged lines may be hidden; a line end comes only when
// the text lacks one, and a tagged last line without one ends the output where it
// begins.
TEST(UsageDisplay, ModesIndentationAndTaggedLines) {
  const char* tagged = "[-a]\n![-b] [-c]\n[-d] !(-e <x>)\n[-f]";
  const struct {
    const char* text;
    unsigned long indentation;
    bool usageMode, hideTagged;
    const char* shown;
  } cases[] = {
      {"(-key <key>) [(-instance <instance>)]", 0, true, false, "-key <key> [-instance <instance>]\n"},
      {"(-key <key>) [-verbose]\n[(-file <filename>)]", 12, true, false,
       "-key <key> [-verbose]\n            [-file <filename>]\n"},
      {"[-a] \"a (quoted) word\"", 0, true, false, "[-a] a quoted word\n"},
      {"Shows (and \"quotes\") text\n@\nmore", 6, false, false, "Shows (and \"quotes\") text\n      @\n      more\n"},
      {tagged, 2, true, false, "[-a]\n  [-b] [-c]\n  [-d] -e <x>\n  [-f]\n"},
      {tagged, 2, true, true, "[-a]\n  [-d] [-f]\n"}, {"[-a]\n![-b]", 2, false, true, "[-a]\n  "},
      {"", 4, true, false, "\n"}, {nullptr, 4, true, false, "\n"}, {"a\n", 3, false, false, "a\n   "},
      {"a\n!b\n", 3, false, true, "a\n   "},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    QelClUsageCursor::display(out, c.text, c.indentation, c.usageMode, c.hideTagged);
    EXPECT_EQ(out.str(), c.shown) << (c.text != nullptr ? c.text : "null");
  }
}
