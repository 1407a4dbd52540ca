#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The offset of the match, or -1 for none.
long offsetIn(const char* found, const char* text) {
  return found == nullptr ? -1 : static_cast<long>(found - text);
}

std::string upperCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

// An empty pattern is found at the start; ignoring case upper-cases pattern and text.
TEST(StringSearch, FindsTheFirstOccurrence) {
  const std::tuple<const char*, bool, const char*, long> rows[] = {
      {"ab", false, "xxab", 2}, {"aba", false, "bbaaaaa", -1}, {"aba", false, "bbaba", 2},
      {"abab", false, "abaabababab", 3}, {"", false, "", 0}, {"", true, "abc", 0},
      {"AbC", true, "xxabc", 2}, {"AbC", false, "xxabc", -1}, {"abc", true, "xxABxAbC", 5}};
  for (const auto& [pattern, ignoreCase, text, offset] : rows) {
    EXPECT_EQ(offsetIn(QelClStringSearch(pattern, ignoreCase).getPattern(text), text), offset)
        << pattern << " in " << text << (ignoreCase ? " ignoring case" : "");
  }
  const char text[] = "abc";
  EXPECT_EQ(QelClStringSearch("", false).getPattern(text, 0), text);
}

TEST(StringSearch, LengthBoundsTheSearch) {
  const QelClStringSearch search("ab", false);
  const char text[] = "xxab";
  EXPECT_EQ(search.getPattern(text, 3), nullptr);
  EXPECT_EQ(search.getPattern(text, 4), text + 2);
  // A text without terminator, held in a block of exactly its size: nothing past
  // the last byte may be read (the sanitizer build checks).
  const std::string body = "the quick brown fox jumps over the lazy dog";
  std::vector<char> unterminated(body.begin(), body.end());
  const auto length = static_cast<unsigned int>(unterminated.size());
  for (const char* pattern : {"dog", "lazy dog", "cat", "og!"}) {
    for (bool ignoreCase : {false, true}) {
      const QelClStringSearch bounded(pattern, ignoreCase);
      EXPECT_EQ(offsetIn(bounded.getPattern(unterminated.data(), length), unterminated.data()),
                static_cast<long>(body.find(pattern)))
          << pattern;
    }
  }
}

TEST(StringSearch, AgreesWithStringFindOnRandomTexts) {
  std::mt19937 random(2024);
  const auto randomString = [&](std::size_t minLength, std::size_t maxLength) {
    std::string text(minLength + random() % (maxLength - minLength + 1), ' ');
    for (char& c : text) c = "abcAB"[random() % 5];
    return text;
  };
  for (int round = 0; round < 5000; ++round) {
    const std::string pattern = randomString(1, round % 2 == 0 ? 4 : 24);
    std::string text = randomString(0, 100);
    if (round % 3 == 0) text.insert(random() % (text.size() + 1), pattern);
    const auto length = static_cast<unsigned int>(random() % (text.size() + 1));
    const QelClStringSearch exact(pattern.c_str(), false);
    const QelClStringSearch folding(pattern.c_str(), true);
    SCOPED_TRACE(pattern + " in " + text + " up to " + std::to_string(length));
    EXPECT_EQ(offsetIn(exact.getPattern(text.c_str(), length), text.c_str()),
              static_cast<long>(text.substr(0, length).find(pattern)));
    EXPECT_EQ(offsetIn(exact.getPattern(text.c_str()), text.c_str()),
              static_cast<long>(text.find(pattern)));
    EXPECT_EQ(offsetIn(folding.getPattern(text.c_str()), text.c_str()),
              static_cast<long>(upperCased(text).find(upperCased(pattern))));
  }
}

TEST(StringSearch, UpperCasedCopyGoesThroughTheAllocator) {
  static int allocations, releases;
  allocations = releases = 0;
  qelSetNewMemoryManager(
      [](std::size_t size) {
        ++allocations;
        return std::malloc(size);
      },
      nullptr,
      [](void* block) {
        ++releases;
        std::free(block);
      });
  {
    std::string pattern = "Key";
    const QelClStringSearch folding(pattern.c_str(), true);
    pattern = "xyz";  // the object searches its own copy
    EXPECT_EQ(offsetIn(folding.getPattern("a KEY"), "a KEY"), 2);
    const QelClStringSearch exact("Key", false);
    EXPECT_EQ(allocations, 1);
  }
  EXPECT_EQ(releases, 1);
  qelSetNewMemoryManager(malloc, nullptr, free);
}

TEST(Grep, FindsNothing) {
  QelClGrep grep("abc", true);
  EXPECT_EQ(grep.getPattern("abc"), nullptr);
  EXPECT_EQ(grep.getPattern("abc", 3), nullptr);
  grep.init("x", 0);
  EXPECT_EQ(grep.getPattern("x"), nullptr);
  const QelClGrep other(0, "abc");
  const QelClStringMatchABase& matcher = other;
  EXPECT_EQ(matcher.getPattern("abc"), nullptr);
}
