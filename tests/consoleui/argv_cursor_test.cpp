// Tests of the argument cursors that measure argv against a usage text.
#include "tests/qel_test.h"

namespace {

const char kUsage[] = "(-key <key>) [-verbose]\n[(-file <filename>)] [(-n <count>)]";

// The arguments a cursor visits, forward from setToFirst and backward from setToLast,
// positioned through the base interface.
std::vector<std::string> forward(QelClArgvCursor& cursor) {
  QelClBiDirCursorABase& base = cursor;
  std::vector<std::string> seen;
  for (bool on = base.setToFirst(); on; on = base.setToNext()) seen.push_back(cursor.getAsCString());
  return seen;
}
std::vector<std::string> backward(QelClArgvCursor& cursor) {
  QelClBiDirCursorABase& base = cursor;
  std::vector<std::string> seen;
  for (bool on = base.setToLast(); on; on = base.setToPrevious()) seen.insert(seen.begin(), cursor.getAsCString());
  return seen;
}

using Args = std::vector<std::string>;

// What a check cursor says of each argument: S switch, B bound, F free; "!" when not legal.
std::string classified(std::vector<const char*> argv, const char* usage) {
  std::string kinds;
  QelClArgvCheckCursor cursor(static_cast<int>(argv.size()), argv.data(), usage);
  for (bool on = cursor.setToFirst(); on; on = cursor.setToNext()) {
    EXPECT_EQ(cursor.isFree(), !cursor.isSwitch() && !cursor.isBound());
    kinds += cursor.isSwitch() ? 'S' : cursor.isBound() ? 'B' : 'F';
    if (!cursor.isLegal()) kinds += '!';
  }
  return kinds;
}

}  // namespace

TEST(ArgvCursor, WalksBothWaysAndStepsBackIn) {
  const char* argv[] = {"prog", "a", "-b", "c"};
  QelClArgvCursor cursor(4, argv);
  EXPECT_STREQ(cursor.getArgv0(), "prog");
  EXPECT_STREQ(cursor.getAsCString(), "a");  // constructed on the first argument
  EXPECT_EQ(forward(cursor), (Args{"a", "-b", "c"}));
  EXPECT_EQ(backward(cursor), (Args{"a", "-b", "c"}));

  ASSERT_TRUE(cursor.setToLast());
  EXPECT_FALSE(cursor.setToNext());
  EXPECT_EQ(cursor.getAsCString(), nullptr);
  EXPECT_TRUE(cursor.setToPrevious());
  EXPECT_STREQ(cursor.getAsCString(), "c");

  QelClArgvCursor copy(cursor);
  copy.setToFirst();
  EXPECT_STREQ(copy.getAsCString(), "a");
  EXPECT_STREQ(cursor.getAsCString(), "c");

  // Positioning passes values that read like the name.
  const char* named[] = {"prog", "verbose", "-x", "-verbose", "-verbose"};
  QelClArgvCursor switches(5, named);
  switches.setToLast();
  ASSERT_TRUE(switches.positionTo("verbose"));
  EXPECT_EQ(switches.getAsCString(), named[3]);
  EXPECT_TRUE(switches.positionTo("-x"));
  EXPECT_EQ(switches.getAsCString(), named[2]);
  EXPECT_FALSE(switches.positionTo("verb"));
  EXPECT_FALSE(switches.isValid());
}

TEST(ArgvCursor, NoArguments) {
  const char* argv[] = {"prog"};
  QelClArgvCursor cursor(1, argv);
  EXPECT_FALSE(cursor.isValid());
  EXPECT_FALSE(cursor.setToFirst());
  EXPECT_FALSE(cursor.setToLast());
  EXPECT_FALSE(cursor.positionTo("x"));
  QelClArgvFreeCursor freeCursor(1, argv, "<file> ..");
  EXPECT_FALSE(freeCursor.isValid());
  EXPECT_EQ(forward(freeCursor), Args{});
  EXPECT_EQ(backward(freeCursor), Args{});
}

// A value, a negative number and a slash are no switches.
TEST(ArgvCursor, SwitchesMatchWholeNamesOnly) {
  const char* argv[] = {"prog", "-key", "key", "-5", "/x", "-ke"};
  QelClArgvCursor cursor(6, argv);
  EXPECT_TRUE(cursor.matches("key") && cursor.matches("-key"));
  for (const char* other : {"KEY", "ke", "keys", "--key", ""}) EXPECT_FALSE(cursor.matches(other)) << other;
  const std::pair<bool, const char*> rest[] = {{true, "key"}, {false, "key"}, {false, "5"}, {false, "x"}, {true, "key"}};
  for (const auto& [isSwitch, name] : rest) {
    EXPECT_EQ(cursor.isSwitch(), isSwitch) << cursor.getAsCString();
    EXPECT_EQ(cursor.matches(name), cursor.getAsCString() == argv[1]) << cursor.getAsCString();
    cursor.setToNext();
  }
}

TEST(ArgvCheckCursor, ClassifiesSwitchesBoundAndFreeArguments) {
  EXPECT_EQ(classified({"prog", "-key", "abc", "-verbose", "def"}, kUsage), "SBSF!");
  EXPECT_EQ(classified({"prog", "abc", "-key", "-verbose"}, kUsage), "F!SS");
  EXPECT_EQ(classified({"prog", "-n", "-5", "-5"}, kUsage), "SBF!");
  EXPECT_EQ(classified({"prog", "-x", "abc"}, kUsage), "S!F!");
  EXPECT_EQ(classified({"prog", "-keys", "-Key", "-ke"}, kUsage), "S!S!S!");
  // free arguments are legal only with an item outside every group that is no switch
  EXPECT_EQ(classified({"prog", "-a", "x", "y"}, "(-a <v>) <file>"), "SBF");
  EXPECT_EQ(classified({"prog", "-a", "x", "y"}, "(-a <v> <w> ...)"), "SBF!");
  EXPECT_EQ(classified({"prog", "y", "z"}, "[-v] name"), "FF");
  EXPECT_EQ(classified({"prog", "y"}, "[-v] \"<file>\" .."), "F");
  EXPECT_EQ(classified({"prog", "y"}, "[-v] (-w .. <x>)"), "F!");
  EXPECT_EQ(classified({"prog", "y", "-v"}, ""), "F!S!");
  EXPECT_EQ(classified({"prog", "y", "-v"}, nullptr), "F!S!");
}

TEST(ArgvCheckCursor, ArgumentsOfSwitches) {
  const char* argv[] = {"prog", "-key", "-x", "-verbose", "abc", "-n", "-5", "-file"};
  QelClArgvCheckCursor cursor(8, argv, kUsage);
  struct Expected { bool reqArg, hasArg; };
  const Expected expected[] = {{true, false},   // "-x" is a switch, not a value
                               {false, false},  // unknown
                               {false, true},   // a value after it, though the usage has none
                               {false, false},  // no switch
                               {true, true},    // a negative number is a value
                               {false, false},  // no switch
                               {true, false}};  // last
  for (const Expected& e : expected) {
    ASSERT_TRUE(cursor.isValid());
    EXPECT_EQ(cursor.reqArg(), e.reqArg) << cursor.getAsCString();
    EXPECT_EQ(cursor.hasArg(), e.hasArg) << cursor.getAsCString();
    cursor.setToNext();
  }
  EXPECT_FALSE(cursor.isValid());
}

TEST(ArgvCheckCursor, TaggedArguments) {
  const char* argv[] = {"prog", "-a", "-b", "-c", "-bc", "debug", "-d", "-e"};
  QelClArgvCheckCursor cursor(8, argv, "[-a] ![-b]\n![-c] debug [-f]\n[-d] [-e] \"!\"");
  std::string tagged;
  for (bool on = cursor.setToFirst(); on; on = cursor.setToNext()) tagged += cursor.isTagged() ? 'T' : '.';
  EXPECT_EQ(tagged, ".TT.T..");
}

TEST(ArgvFreeCursor, VisitsOnlyFreeArguments) {
  const char* argv[] = {"prog", "f1", "-a", "x", "y", "-v", "-5", "-a", "-5", "z"};
  QelClArgvFreeCursor cursor(10, argv, "(-a <v>) [-v] <file> ..");
  EXPECT_STREQ(cursor.getAsCString(), "f1");  // constructed on the first free argument
  EXPECT_EQ(forward(cursor), (Args{"f1", "y", "-5", "z"}));
  EXPECT_EQ(backward(cursor), (Args{"f1", "y", "-5", "z"}));

  const char* none[] = {"prog", "-a", "x", "-v"};
  QelClArgvFreeCursor noFree(4, none, "(-a <v>) [-v]");
  EXPECT_FALSE(noFree.isValid());
  EXPECT_FALSE(noFree.setToLast());
}
