#include "platform/platform.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace {

struct CodeSet {
  const char* name;  // as nl_langinfo(CODESET) gives it
  std::uint32_t ccsid;
};
constexpr CodeSet kCodeSets[] = {
#include "code_set_ccsids.inc"
};

bool namesEqual(const char* a, const char* b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; lower(*a) == lower(*b); ++a, ++b) {
    if (*a == '\0') return true;
  }
  return false;
}

// The code set of the locale the environment selects (LC_ALL, LC_CTYPE, LANG), read
// without changing the program's own locale.
std::uint32_t environmentCodeSet() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return 0;
  const char* name = nl_langinfo_l(CODESET, locale);
  std::uint32_t ccsid = 0;
  for (const CodeSet& set : kCodeSets) {
    if (name != nullptr && namesEqual(set.name, name)) ccsid = set.ccsid;
  }
  freelocale(locale);
  return ccsid;
}

}  // namespace

std::uint32_t qel::platform::systemCodePage() { return environmentCodeSet(); }

// A terminal shows text in the locale's code set.
std::uint32_t qel::platform::consoleCodePage() { return environmentCodeSet(); }
