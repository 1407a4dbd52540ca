// The system and console code pages (from the locale) and conversion into them (iconv).
#include "platform/platform.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace {

struct CodeSet {
  const char* name;  // as nl_langinfo(CODESET) gives it
  std::uint32_t ccsid;
};
constexpr CodeSet kCodeSets[] = {
#include "platform/posix/code_set_ccsids.inc"
};

bool namesEqual(const char* a, const char* b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; lower(*a) == lower(*b); ++a, ++b) {
    if (*a == '\0') return true;
  }
  return false;
}

// The code set of the locale the environment selects (LC_ALL, LC_CTYPE, LANG), read
// without changing the program's own locale: its name (empty when unknown) and CCSID.
struct EnvironmentCodeSet {
  char name[64] = "";
  std::uint32_t ccsid = 0;
};

EnvironmentCodeSet environmentCodeSet() {
  EnvironmentCodeSet result;
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return result;
  const char* name = nl_langinfo_l(CODESET, locale);
  if (name != nullptr && std::strlen(name) < sizeof result.name) {
    std::strcpy(result.name, name);
    for (const CodeSet& set : kCodeSets) {
      if (namesEqual(set.name, name)) result.ccsid = set.ccsid;
    }
  }
  freelocale(locale);
  return result;
}

}  // namespace

std::uint32_t qel::platform::systemCodePage() { return environmentCodeSet().ccsid; }

// A terminal shows text in the locale's code set.
std::uint32_t qel::platform::consoleCodePage() { return environmentCodeSet().ccsid; }

// iconv into the locale's code set; a character the code set lacks becomes "?", as
// Windows' default character does.
unsigned int qel::platform::convertFromUcs2(std::uint32_t codePage, const char* units, unsigned int unitCount,
                                            char* target, unsigned int targetSize) {
  const EnvironmentCodeSet codeSet = environmentCodeSet();
  if (codePage == 0 || codePage != codeSet.ccsid) return 0;
  iconv_t converter = iconv_open(codeSet.name, "UCS-2LE");
  if (converter == reinterpret_cast<iconv_t>(-1)) return 0;  // NOLINT(performance-no-int-to-ptr): iconv_open's failure value
  char* in = const_cast<char*>(units);
  std::size_t inLeft = 2 * static_cast<std::size_t>(unitCount);
  char* out = target;
  std::size_t outLeft = targetSize;
  bool failed = false;
  while (inLeft > 1 && !failed) {
    if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno != EILSEQ || outLeft == 0) {
      failed = errno != EINVAL;
      break;
    }
    *out++ = '?';
    --outLeft;
    in += 2;
    inLeft -= 2;
  }
  iconv_close(converter);
  return failed ? 0 : static_cast<unsigned int>(out - target);
}
