#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(StrFind, FirstOccurrenceWithAndWithoutCase) {
  const char text[] = "aab";
  EXPECT_EQ(qelStrFind(text, "ab", 0), text + 1);
  EXPECT_EQ(qelStrFind(text, "ab", 1), text + 1);
  const char mixed[] = "Hello World";
  EXPECT_EQ(qelStrFind(mixed, "WORLD", 0), nullptr);
  EXPECT_EQ(qelStrFind(mixed, "WORLD", 1), mixed + 6);
  EXPECT_EQ(qelStrFind(mixed, "o w", 2), mixed + 4);
  EXPECT_EQ(qelStrFind(mixed, "LDs", 1), nullptr);
  EXPECT_EQ(qelStrFind(mixed, "xyz", 1), nullptr);
}

TEST(StrFind, EmptyNeedleYieldsTheHaystack) {
  const char text[] = "abc";
  const char empty[] = "";
  EXPECT_EQ(qelStrFind(text, "", 0), text);
  EXPECT_EQ(qelStrFind(text, "", 1), text);
  EXPECT_EQ(qelStrFind(empty, "", 1), empty);
  EXPECT_EQ(qelStrFind(empty, "a", 1), nullptr);
}

TEST(StrCount, CountsOccurrences) {
  EXPECT_EQ(qelStrCount("a,b,,c", ','), 3u);
  EXPECT_EQ(qelStrCount("", ','), 0u);
  EXPECT_EQ(qelStrCount("abc", ','), 0u);
  EXPECT_EQ(qelStrCount("abc", '\0'), 0u);
}

TEST(StrCopyUntil, CopiesUpToTheDelimiterAndTerminates) {
  char target[16];
  std::memset(target, '#', sizeof target);
  EXPECT_EQ(qelStrCopyUntil(target, "key=value", '='), 3u);
  EXPECT_STREQ(target, "key");
  EXPECT_EQ(target[4], '#');

  EXPECT_EQ(qelStrCopyUntil(target, "no delimiter", '='), 12u);
  EXPECT_STREQ(target, "no delimiter");
  EXPECT_EQ(qelStrCopyUntil(target, "=value", '='), 0u);
  EXPECT_STREQ(target, "");
  std::memset(target, '#', sizeof target);
  EXPECT_EQ(qelStrCopyUntil(target, "", '='), 0u);
  EXPECT_EQ(target[0], '\0');
  EXPECT_EQ(target[1], '#');
}
