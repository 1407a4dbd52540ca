// Whole-text matching of '*' and '?' patterns.
#include "qel_util.h"

#include <cctype>

namespace {

bool sameCharacter(char patternChar, char textChar, bool caseSensitive) {
  if (caseSensitive) return patternChar == textChar;
  return std::toupper(static_cast<unsigned char>(patternChar)) ==
         std::toupper(static_cast<unsigned char>(textChar));
}

}  // namespace

// Walks pattern and text once, remembering only the last star passed and the text
// position it was tried at. On a mismatch that star takes one more character and
// the walk resumes just after it. Earlier stars never need another try: whatever
// text they would give up, the last star can take instead. The work is therefore
// bounded by the product of the two lengths, where trying every split at every
// star grows exponentially with the number of stars.
int qelMatchesWildcardPattern(const char* pattern, const char* text, int caseSensitive) {
  const char* afterStar = nullptr;
  const char* starText = nullptr;
  while (*text != '\0') {
    if (*pattern == '*') {
      afterStar = ++pattern;
      starText = text;
    } else if (*pattern != '\0' &&
               (*pattern == '?' || sameCharacter(*pattern, *text, caseSensitive != 0))) {
      ++pattern;
      ++text;
    } else if (afterStar != nullptr) {
      pattern = afterStar;
      text = ++starText;
    } else {
      return 0;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}
