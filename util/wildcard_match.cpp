// Whole-text matching of '*' and '?' patterns.
#include "qel_util.h"

#include <cctype>
#include <cstring>

namespace {

unsigned char upper(char c) { return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c))); }

bool sameCharacter(char patternChar, char textChar, bool caseSensitive) {
  return caseSensitive ? patternChar == textChar : upper(patternChar) == upper(textChar);
}

// The first place at or after text where the literal c can stand, or null. Folding
// case compares character by character, just as the match does.
const char* nextPlaceOf(char c, const char* text, bool caseSensitive) {
  if (caseSensitive) return std::strchr(text, c);
  while (*text != '\0' && upper(*text) != upper(c)) ++text;
  return *text != '\0' ? text : nullptr;
}

// Whether a pattern without stars matches the end of text exactly.
bool matchesTail(const char* pattern, const char* text, bool caseSensitive) {
  const std::size_t patternLength = std::strlen(pattern);
  const std::size_t textLength = std::strlen(text);
  if (patternLength > textLength) return false;
  text += textLength - patternLength;
  for (; *pattern != '\0'; ++pattern, ++text)
    if (*pattern != '?' && !sameCharacter(*pattern, *text, caseSensitive)) return false;
  return true;
}

}  // namespace

// Walks pattern and text once, remembering only the last star passed and the text
// position it was tried at. On a mismatch that star takes one more character and
// the walk resumes just after it. Earlier stars never need another try: whatever
// text they would give up, the last star can take instead. The work is therefore
// bounded by the product of the two lengths, where trying every split at every
// star grows exponentially with the number of stars.
// Two short cuts keep it near one pass: a star followed by a literal moves on to
// the next place of that character at once, and after the last star the rest of
// the pattern, having a fixed length, can only match the end of the text.
int qelMatchesWildcardPattern(const char* pattern, const char* text, int caseSensitiveFlag) {
  const bool caseSensitive = caseSensitiveFlag != 0;
  const char* afterStar = nullptr;
  const char* starText = nullptr;
  while (*text != '\0') {
    if (*pattern == '*') {
      while (*pattern == '*') ++pattern;
      if (*pattern == '\0') return 1;
      if (std::strchr(pattern, '*') == nullptr) return matchesTail(pattern, text, caseSensitive);
      afterStar = pattern;
      starText = text;
    } else if (*pattern != '\0' && (*pattern == '?' || sameCharacter(*pattern, *text, caseSensitive))) {
      ++pattern;
      ++text;
      continue;
    } else if (afterStar != nullptr) {
      pattern = afterStar;
      text = ++starText;
    } else {
      return 0;
    }
    // Here pattern follows the last star: alignments where its literal cannot stand
    // are passed over.
    if (*pattern != '?' && *text != '\0') {
      starText = text = nextPlaceOf(*pattern, text, caseSensitive);
      if (text == nullptr) return 0;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}
