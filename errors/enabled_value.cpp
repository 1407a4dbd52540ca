// The values that switch a variable on: ON, YES, TRUE or 1, in any case.
#include "errors/enabled_value.h"

#include <initializer_list>

namespace {

bool equalsIgnoringCase(const char* text, const char* upperWord) {
  for (; *text != '\0' && *upperWord != '\0'; ++text, ++upperWord) {
    const char c = (*text >= 'a' && *text <= 'z') ? static_cast<char>(*text - 'a' + 'A') : *text;
    if (c != *upperWord) return false;
  }
  return *text == *upperWord;
}

}  // namespace

bool qel::errors::isEnabledValue(const char* value) {
  if (value == nullptr) return false;
  for (const char* word : {"ON", "YES", "TRUE", "1"}) {
    if (equalsIgnoringCase(value, word)) return true;
  }
  return false;
}
