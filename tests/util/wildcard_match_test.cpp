#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <tuple>

#if !defined(_WIN32)
#include <fnmatch.h>
#endif

namespace {

bool matches(const char* pattern, const char* text, int caseSensitive = 1) {
  return qelMatchesWildcardPattern(pattern, text, caseSensitive) != 0;
}

// The matcher as first described: a star takes the run of stars and question marks
// that starts with it, then tries every text position for the character after the
// run and matches the rest recursively. Exponential on hostile patterns; used only
// on short ones to check the bounded matcher against.
bool sameCharacter(char a, char b, bool caseSensitive) {
  return caseSensitive ? a == b
                       : std::toupper(static_cast<unsigned char>(a)) ==
                             std::toupper(static_cast<unsigned char>(b));
}

bool referenceMatch(const char* p, const char* t, bool caseSensitive) {
  while (*p != '\0') {
    if (*p == '?') {
      if (*t == '\0') return false;
      ++p;
      ++t;
    } else if (*p == '*') {
      for (; *p == '*' || *p == '?'; ++p) {
        if (*p == '?' && *t++ == '\0') return false;
      }
      if (*p == '\0') return true;
      if (*t == '\0') return false;
      for (; *t != '\0'; ++t) {
        if (sameCharacter(*p, *t, caseSensitive) && referenceMatch(p + 1, t + 1, caseSensitive))
          return true;
      }
      return false;
    } else {
      if (*t == '\0' || !sameCharacter(*p, *t, caseSensitive)) return false;
      ++p;
      ++t;
    }
  }
  return *t == '\0';
}

std::string randomText(std::mt19937& random, const char* alphabet, std::size_t maxLength) {
  std::string text(random() % (maxLength + 1), ' ');
  for (char& c : text) c = alphabet[random() % std::char_traits<char>::length(alphabet)];
  return text;
}

}  // namespace

// Any nonzero flag compares exactly, not only its low byte; zero folds case.
TEST(WildcardMatch, StarsQuestionMarksAndCase) {
  const std::tuple<const char*, const char*, int, bool> rows[] = {
      {"", "", 1, true}, {"", "a", 1, false}, {"*", "", 1, true},
      {"*", "anything at all", 1, true}, {"?", "x", 1, true}, {"?", "", 1, false},
      {"?", "xy", 1, false}, {"*?", "", 1, false}, {"**??*", "xy", 1, true},
      {"**??*", "x", 1, false}, {"a*c", "abc", 1, true}, {"a*c", "ac", 1, true},
      {"a*c", "ab", 1, false}, {"A*C", "abc", 0, true}, {"A*C", "abc", 1, false},
      {"*.INI", "x.ini", 0, true}, {"*.INI", "x.ini", 1, false}, {"A*C", "abc", 0x100, false}};
  for (const auto& [pattern, text, caseSensitive, expected] : rows) {
    EXPECT_EQ(matches(pattern, text, caseSensitive), expected)
        << '"' << pattern << "\" \"" << text << "\" " << caseSensitive;
  }
}

// Against the recursive matcher with and without case, and against the C library's
// fnmatch where there is one.
TEST(WildcardMatch, AgreesWithTheRecursiveMatcherAndFnmatch) {
  std::mt19937 random(4711);
  for (int round = 0; round < 20000; ++round) {
    const std::string pattern = randomText(random, "aAbB*?", round % 2 == 0 ? 8 : 10);
    const std::string text = randomText(random, "aAbB", round % 2 == 0 ? 10 : 12);
    SCOPED_TRACE("pattern \"" + pattern + "\" text \"" + text + '"');
    for (int caseSensitive : {0, 1}) {
      EXPECT_EQ(matches(pattern.c_str(), text.c_str(), caseSensitive),
                referenceMatch(pattern.c_str(), text.c_str(), caseSensitive != 0))
          << "flag " << caseSensitive;
    }
#if !defined(_WIN32)
    EXPECT_EQ(matches(pattern.c_str(), text.c_str()),
              fnmatch(pattern.c_str(), text.c_str(), FNM_NOESCAPE) == 0);
#endif
  }
}

// Trying every split at every star would not finish here in any reasonable time.
TEST(WildcardMatch, HostilePatternsFinish) {
  const std::string run(100000, 'a');
  EXPECT_FALSE(matches("*a*a*a*a*a*a*a*b", run.c_str()));
  EXPECT_FALSE(matches("*A*A*A*A*A*A*A*B", run.c_str(), 0));
  EXPECT_TRUE(matches("*a*a*a*a*a*a*a*a", run.c_str()));
  EXPECT_TRUE(matches("*a?a*a*a?a*a*a*?b", (run + "b").c_str()));
}

TEST(StringMatchWildcards, ReturnsTheTextWhenItMatches) {
  const char text[] = "config.INI";
  const QelClStringMatchWildcards exact("*.ini", true);
  const QelClStringMatchWildcards folding("*.ini", false);
  EXPECT_EQ(exact.getPattern(text), nullptr);
  EXPECT_EQ(folding.getPattern(text), text);
  const QelClStringMatchABase& matcher = folding;
  EXPECT_EQ(matcher.getPattern("config.txt"), nullptr);
}
