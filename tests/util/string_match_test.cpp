// Tests of wildcard matching, substring search and the string helpers.
#include "tests/qel_test.h"

#if !defined(_WIN32)
#include <fnmatch.h>
#endif

namespace {

// The offset of the match, or -1 for none.
long offsetIn(const char* found, const char* text) {
  return found == nullptr ? -1 : static_cast<long>(found - text);
}

std::string randomText(std::mt19937& random, const char* alphabet, std::size_t minLength,
                       std::size_t maxLength) {
  std::string text(minLength + random() % (maxLength - minLength + 1), ' ');
  for (char& c : text) c = alphabet[random() % std::char_traits<char>::length(alphabet)];
  return text;
}

std::string upperCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool matches(const char* pattern, const char* text, int caseSensitive = 1) {
  return qelMatchesWildcardPattern(pattern, text, caseSensitive) != 0;
}

}  // namespace

// ---- Substrings, characters and delimiters ------------------------------------------

// An empty needle yields the haystack itself.
TEST(StrFind, FirstOccurrenceWithAndWithoutCase) {
  const std::tuple<const char*, const char*, int, long> rows[] = {
      {"aab", "ab", 0, 1}, {"aab", "ab", 1, 1}, {"Hello World", "WORLD", 0, -1},
      {"Hello World", "WORLD", 1, 6}, {"Hello World", "o w", 2, 4}, {"Hello World", "LDs", 1, -1},
      {"Hello World", "xyz", 1, -1}, {"abc", "", 0, 0}, {"abc", "", 1, 0}, {"", "", 1, 0},
      {"", "a", 1, -1}};
  for (const auto& [haystack, needle, ignoreCase, offset] : rows) {
    EXPECT_EQ(offsetIn(qelStrFind(haystack, needle, ignoreCase), haystack), offset)
        << needle << " in " << haystack;
  }
}

// A copy writes nothing beyond its terminator.
TEST(StrDelimiters, CountAndCopyUpToTheDelimiter) {
  EXPECT_EQ(qelStrCount("a,b,,c", ','), 3u);
  EXPECT_EQ(qelStrCount("", ','), 0u);
  EXPECT_EQ(qelStrCount("abc", '\0'), 0u);
  const std::pair<const char*, std::string> rows[] = {
      {"key=value", "key"}, {"no delimiter", "no delimiter"}, {"=value", ""}, {"", ""}};
  for (const auto& [source, copied] : rows) {
    char target[16];
    std::memset(target, '#', sizeof target);
    EXPECT_EQ(qelStrCopyUntil(target, source, '='), copied.size()) << source;
    EXPECT_EQ(std::string(target, copied.size() + 2), copied + '\0' + '#') << source;
  }
}

// ---- Substring search ----------------------------------------------------------------

// An empty pattern is found at the start, in a bounded text too; the random texts
// below check every other pattern against std::string::find.
TEST(StringSearch, EmptyPatternIsFoundAtTheStart) {
  const char text[] = "abc", empty[] = "";
  for (const bool ignoreCase : {false, true}) {
    const QelClStringSearch search("", ignoreCase);
    EXPECT_EQ(search.getPattern(text), text);
    EXPECT_EQ(search.getPattern(empty), empty) << ignoreCase;
    EXPECT_EQ(search.getPattern(text, 0), text);
  }
}

// Texts long enough for several vector blocks come now and then. The bounded
// searches get a text without terminator, held in a block of exactly
// its length: nothing past its last byte may be read (the sanitizer build checks).
TEST(StringSearch, AgreesWithStringFindOnRandomTexts) {
  std::mt19937 random(2024);
  for (int round = 0; round < 5000; ++round) {
    const std::string pattern = randomText(random, "abcAB", 1, round % 2 == 0 ? 4 : 24);
    std::string text = randomText(random, "abcAB", 0, round % 5 == 0 ? 400 : 100);
    if (round % 3 == 0) text.insert(random() % (text.size() + 1), pattern);
    const auto length = static_cast<unsigned int>(random() % (text.size() + 1));
    const QelClStringSearch exact(pattern.c_str(), false);
    const QelClStringSearch folding(pattern.c_str(), true);
    SCOPED_TRACE(pattern + " in " + text + " up to " + std::to_string(length));
    const std::string head = text.substr(0, length);
    const std::vector<char> bounded(head.begin(), head.end());
    EXPECT_EQ(offsetIn(exact.getPattern(bounded.data(), length), bounded.data()),
              static_cast<long>(head.find(pattern)));
    EXPECT_EQ(offsetIn(folding.getPattern(bounded.data(), length), bounded.data()),
              static_cast<long>(upperCased(head).find(upperCased(pattern))));
    EXPECT_EQ(offsetIn(exact.getPattern(text.c_str()), text.c_str()),
              static_cast<long>(text.find(pattern)));
    EXPECT_EQ(offsetIn(folding.getPattern(text.c_str()), text.c_str()),
              static_cast<long>(upperCased(text).find(upperCased(pattern))));
  }
}

// The vector scans work a block of 32, 64 or 128 alignments at a time, the last one
// overlapping the one before: a single occurrence is found wherever it stands.
TEST(StringSearch, FindsASingleOccurrenceAtEveryPlace) {
  // "the rest at one" takes three probes, the others two.
  for (const char* pattern :
       {"q", "qz", "quartz!", "the rest at one", "a quick brown fox jumps over the lazy dog and"}) {
    const QelClStringSearch search(pattern, false);
    const std::size_t patternLength = std::strlen(pattern);
    for (std::size_t length = patternLength; length < 330; length += length < 100 ? 1 : 7) {
      for (std::size_t at = 0; at + patternLength <= length; ++at) {
        std::string text(length, '.');
        text.replace(at, patternLength, pattern);
        const std::vector<char> bounded(text.begin(), text.end());
        ASSERT_EQ(offsetIn(search.getPattern(bounded.data(), static_cast<unsigned int>(length)), bounded.data()),
                  static_cast<long>(at))
            << pattern << " at " << at << " of " << length;
      }
    }
  }
}

TEST(Grep, FindsNothing) {
  QelClGrep grep("abc", true);
  EXPECT_EQ(grep.getPattern("abc", 3), nullptr);
  grep.init("x", 0);
  const QelClGrep other(0, "abc");
  const QelClStringMatchABase* matchers[] = {&grep, &other};
  for (const QelClStringMatchABase* matcher : matchers) {
    EXPECT_EQ(matcher->getPattern("x"), nullptr);
    EXPECT_EQ(matcher->getPattern("abc"), nullptr);
  }
}

// ---- Wildcard patterns ---------------------------------------------------------------

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

// Against the C library's fnmatch, which folds case on request too.
TEST(WildcardMatch, AgreesWithFnmatch) {
#if defined(_WIN32)
  GTEST_SKIP() << "fnmatch is a POSIX function";
#else
  std::mt19937 random(4711);
  for (int round = 0; round < 20000; ++round) {
    const std::string pattern = randomText(random, "aAbB*?", 0, round % 2 == 0 ? 8 : 10);
    const std::string text = randomText(random, "aAbB", 0, round % 2 == 0 ? 10 : 12);
    for (int caseSensitive : {0, 1}) {
      EXPECT_EQ(matches(pattern.c_str(), text.c_str(), caseSensitive),
                fnmatch(pattern.c_str(), text.c_str(),
                        FNM_NOESCAPE | (caseSensitive != 0 ? 0 : FNM_CASEFOLD)) == 0)
          << "pattern \"" << pattern << "\" text \"" << text << "\" flag " << caseSensitive;
    }
  }
#endif
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
