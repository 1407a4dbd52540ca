// Tests of the usage cursor: walking, matching and the state of a usage text.
#include "tests/qel_test.h"

namespace {

// The item at the cursor as a reader sees it: a placeholder through its '>', anything
// else up to the next character with a meaning.
std::string itemText(const QelClUsageCursor& cursor) {
  const char* item = cursor.getAsCString();
  if (*item == '<') return std::string(item, std::strcspn(item, ">") + 1);
  return std::string(item, 1 + std::strcspn(item + 1, " []()<>{}|\n\"-"));
}

// Every item, with "+" after a switch that takes an argument and "*" after one that
// takes a list.
std::vector<std::string> walk(const char* usage) {
  std::vector<std::string> items;
  QelClUsageCursor cursor(usage);
  for (bool onItem = cursor.setToFirst(); onItem; onItem = cursor.setToNext()) {
    EXPECT_TRUE(cursor.isValid());
    items.push_back(itemText(cursor) + (cursor.reqArg() ? "+" : "") +
                    (cursor.reqArgEllipsis() ? "*" : ""));
  }
  EXPECT_FALSE(cursor.isValid());
  return items;
}

using Items = std::vector<std::string>;

}  // namespace

// A switch takes an argument when a placeholder or a word follows it in its group;
// "+*" marks one that takes a list. Bare words count only behind a blank (not after a
// line end), quoted parts not at all.
TEST(UsageCursorWalk, ItemsOfSmallUsages) {
  const struct {
    const char* usage;
    Items items;
  } cases[] = {
      {"[-display]", {"-display"}}, {"(-key <key>)", {"-key+", "<key>"}},
      {"[(-format <string>)]", {"-format+", "<string>"}}, {"(-n -1)", {"-n+", "-1"}},
      {"(-a) <x>", {"-a", "<x>"}}, {"((-a) <x>)", {"-a", "<x>"}}, {"(-a -b)", {"-a", "-b"}},
      {"(-mode fast)", {"-mode+", "fast"}}, {"(-f <input file>) [-v]", {"-f+", "<input file>", "-v"}},
      {"(-files <file> ...)", {"-files+*", "<file>", "."}}, {"(-file <file>) ...", {"-file+", "<file>", "."}},
      {"(-files <file> -x ..)", {"-files+", "<file>", "-x+*", "."}},
      {"[-v] <file> .. end.", {"-v", "<file>", ".", "end."}}, {"[-a] file", {"-a", "file"}},
      {"[-a]\nfile", {"-a"}}, {"name [-a]", {"-a"}}, {"\"(-x <y>)\" [-y]", {"-y"}},
      {"[-a] \"-b", {"-a"}},  // quote never closed
      {"[-a] /b", {"-a", "/b"}}, {"", {}}, {nullptr, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(walk(c.usage), c.items) << (c.usage ? c.usage : "null");

  QelClUsageCursor cursor("<file> ....");
  cursor.setToFirst();
  ASSERT_TRUE(cursor.setToNext());
  EXPECT_TRUE(cursor.isArgEllipsis());
  EXPECT_STREQ(cursor.getAsCString(), ".");  // on the last dot of the run
  EXPECT_FALSE(cursor.setToNext());
}

TEST(UsageCursorState, DepthsAndTaggedLines) {
  QelClUsageCursor cursor("\"(\" [(-a <x>)] ((-b))\n![-c] [-d]\n[-e] [(");
  struct Expected { const char* item; std::int32_t group; std::int32_t optional; bool tagged; };
  const Expected expected[] = {{"-a", 1, 1, false}, {"<x>", 1, 1, false}, {"-b", 2, 0, false},
                               {"-c", 0, 1, true},  {"-d", 0, 1, true},   {"-e", 0, 1, false}};
  bool onItem = cursor.setToFirst();
  for (const Expected& e : expected) {
    ASSERT_TRUE(onItem) << e.item;
    EXPECT_EQ(itemText(cursor), e.item);
    EXPECT_EQ(cursor.getGroupDepth(), e.group) << e.item;
    EXPECT_EQ(cursor.getOptionalDepth(), e.optional) << e.item;
    EXPECT_EQ(cursor.isOnTaggedLine(), e.tagged) << e.item;
    onItem = cursor.setToNext();
  }
  EXPECT_FALSE(onItem);

  // the text leaves a group and an optional part open; a second walk starts afresh
  EXPECT_EQ(cursor.getGroupDepth(), 1);
  EXPECT_EQ(cursor.getOptionalDepth(), 1);
  ASSERT_TRUE(cursor.setToFirst());
  EXPECT_EQ(cursor.getGroupDepth(), 1);
  EXPECT_EQ(cursor.getOptionalDepth(), 1);
}

TEST(UsageCursorMatch, SwitchNamesAndIndicators) {
  for (const char delimiter : std::string("[]<>(){}-| ")) {
    const std::string usage = std::string("-ab") + delimiter;
    QelClUsageCursor cursor(usage.c_str());
    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_TRUE(cursor.matchesSwitch("ab")) << usage;
    EXPECT_TRUE(cursor.matchesSwitch("-ab")) << usage;
    EXPECT_TRUE(cursor.matches("-ab")) << usage;
  }
  for (const char* usage : {"-ab\n", "-ab.", "-abc", "-ab_", "-ab\""}) {
    QelClUsageCursor cursor(usage);
    ASSERT_TRUE(cursor.setToFirst());
    EXPECT_FALSE(cursor.matchesSwitch("ab")) << usage;
    EXPECT_FALSE(cursor.matches("-ab")) << usage;
  }
  QelClUsageCursor cursor("[-file] x");
  ASSERT_TRUE(cursor.setToFirst());
  EXPECT_TRUE(cursor.matchesSwitch("file"));
  for (const char* other : {"fil", "filename", "FILE", "--file"}) EXPECT_FALSE(cursor.matchesSwitch(other)) << other;
  EXPECT_FALSE(cursor.matches("file"));  // as written, with its '-'
  ASSERT_TRUE(cursor.setToNext());
  EXPECT_FALSE(cursor.matchesSwitch("x"));  // a bare word is no switch
  EXPECT_TRUE(cursor.matches("x"));

  // What reads as a switch, and which characters a usage display shows.
  for (const char* yes : {"-key", "-k", "-", "--", "-x5"}) EXPECT_TRUE(QelClUsageCursor::isSwitchIndicator(yes)) << yes;
  for (const char* no : {"-5", "-12", "/x", "x-", ""}) EXPECT_FALSE(QelClUsageCursor::isSwitchIndicator(no)) << no;
  EXPECT_FALSE(QelClUsageCursor::isSwitchIndicator(nullptr));
  for (const char c : std::string("\"()")) EXPECT_FALSE(QelClUsageCursor::isToBeDisplayed(c));
  for (const char c : std::string("[]<>{}|-!. a\n")) EXPECT_TRUE(QelClUsageCursor::isToBeDisplayed(c));
}
