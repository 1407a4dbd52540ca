#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

// An empty needle yields the haystack itself.
TEST(StrFind, FirstOccurrenceWithAndWithoutCase) {
  const std::tuple<const char*, const char*, int, long> rows[] = {
      {"aab", "ab", 0, 1}, {"aab", "ab", 1, 1}, {"Hello World", "WORLD", 0, -1},
      {"Hello World", "WORLD", 1, 6}, {"Hello World", "o w", 2, 4}, {"Hello World", "LDs", 1, -1},
      {"Hello World", "xyz", 1, -1}, {"abc", "", 0, 0}, {"abc", "", 1, 0}, {"", "", 1, 0},
      {"", "a", 1, -1}};
  for (const auto& [haystack, needle, ignoreCase, offset] : rows) {
    const char* found = qelStrFind(haystack, needle, ignoreCase);
    EXPECT_EQ(found == nullptr ? -1 : found - haystack, offset) << needle << " in " << haystack;
  }
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
