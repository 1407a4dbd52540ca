// Languages and territories of locale texts.
#include "qel_messages.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace {

struct Language {
  const char* code;
  const char* name;
};

struct Territory {
  const char* shortCode;
  const char* longCode;
  int number;
  const char* name;
};

constexpr Language kLanguages[] = {
#define QEL_LANGUAGE(id, code, name) {code, name},
#include "qel_languages.inc"
};

constexpr Territory kTerritories[] = {
#define QEL_TERRITORY(id, shortCode, longCode, number, name) {shortCode, longCode, number, name},
#include "qel_territories.inc"
};

constexpr unsigned int kLanguageCount = sizeof kLanguages / sizeof kLanguages[0];
constexpr unsigned int kTerritoryCount = sizeof kTerritories / sizeof kTerritories[0];
static_assert(kLanguageCount == QelClLanguage::LANGUAGE_NONE, "language table and enumeration");
static_assert(kTerritoryCount == QelClLanguage::TERRITORY_NONE, "territory table and enumeration");

const char kUnknown[] = "??";

char lowered(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares a table code with the first length characters of text, ignoring case.
int compareCode(const char* code, const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const char wanted = lowered(text[i]);
    if (code[i] != wanted) return code[i] == '\0' ? -1 : (code[i] < wanted ? -1 : 1);
  }
  return code[length] == '\0' ? 0 : 1;
}

// Binary search of the codes picked from a sorted table; returns count when absent.
template <typename Row, typename Code>
unsigned int findCode(const Row* rows, unsigned int count, Code codeOf, const char* text,
                      std::size_t length) {
  const Row* end = rows + count;
  const Row* found = std::lower_bound(rows, end, text, [&](const Row& row, const char* t) {
    return compareCode(codeOf(row), t, length) < 0;
  });
  if (found != end && compareCode(codeOf(*found), text, length) == 0) {
    return static_cast<unsigned int>(found - rows);
  }
  return count;
}

char* append(char* out, const char* text) {
  const std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);  // NOLINT(bugprone-not-null-terminated-result): the caller ends the text
  return out + length;
}

}  // namespace

const char* const QelClLanguage::cv_cpszCombiningCharString = "-";

QelClLanguage::QelClLanguage(const char* locale) : enLanguage(LANGUAGE_NONE), enTerritory(TERRITORY_NONE) {
  init(locale);
}

QelClLanguage::QelClLanguage(unsigned int number)
    : enLanguage(static_cast<QelEnLanguage>(std::min(number >> 16, kLanguageCount))),
      enTerritory(static_cast<QelEnTerritory>(std::min(number & 0xFFFFu, kTerritoryCount))) {}

void QelClLanguage::init(const char* locale) {
  if (locale == nullptr) locale = "";
  const char* separator = std::strchr(locale, cv_cpszCombiningCharString[0]);
  if (separator == nullptr) separator = std::strchr(locale, '_');
  if (separator == nullptr) {
    enTerritory = TERRITORY_UNSPECIFIED;
  } else {
    const char* rest = separator + 1;
    enTerritory = static_cast<QelEnTerritory>(findCode(
        kTerritories, kTerritoryCount, [](const Territory& t) { return t.shortCode; }, rest,
        std::strlen(rest)));
  }
  const bool twoLetters = locale[0] != '\0' && locale[1] != '\0' &&
                          (locale[2] == '\0' || locale[2] == '-' || locale[2] == '_');
  enLanguage = twoLetters ? static_cast<QelEnLanguage>(findCode(
                                kLanguages, kLanguageCount, [](const Language& l) { return l.code; },
                                locale, 2))
                          : LANGUAGE_NONE;
}

unsigned int QelClLanguage::asNumber() const {
  return (static_cast<unsigned int>(enLanguage) << 16) | static_cast<unsigned int>(enTerritory);
}

void QelClLanguage::extractShortCode(char* buffer) const {
  char* out = append(buffer, getLanguageCode(enLanguage));
  out = append(out, cv_cpszCombiningCharString);
  *append(out, getTerritoryCodeShort(enTerritory)) = '\0';
}

void QelClLanguage::extractLongCode(char* buffer) const {
  char* out = append(buffer, getLanguageCode(enLanguage));
  out = append(out, cv_cpszCombiningCharString);
  *append(out, getTerritoryCodeLong(enTerritory)) = '\0';
}

const char* QelClLanguage::getLanguageName(QelEnLanguage language) {
  return language < kLanguageCount ? kLanguages[language].name : kUnknown;
}

const char* QelClLanguage::getLanguageCode(QelEnLanguage language) {
  return language < kLanguageCount ? kLanguages[language].code : kUnknown;
}

const char* QelClLanguage::getTerritoryName(QelEnTerritory territory) {
  return territory < kTerritoryCount ? kTerritories[territory].name : kUnknown;
}

const char* QelClLanguage::getTerritoryCodeShort(QelEnTerritory territory) {
  return territory < kTerritoryCount ? kTerritories[territory].shortCode : kUnknown;
}

const char* QelClLanguage::getTerritoryCodeLong(QelEnTerritory territory) {
  return territory < kTerritoryCount ? kTerritories[territory].longCode : kUnknown;
}

int QelClLanguage::getTerritoryIdNumber(QelEnTerritory territory) {
  return territory < kTerritoryCount ? kTerritories[territory].number : -1;
}

unsigned int QelClLanguage::getNumberOfLanguagesSupported() { return kLanguageCount; }

unsigned int QelClLanguage::getNumberOfTerritoriesSupported() { return kTerritoryCount; }

std::ostream& operator<<(std::ostream& out, const QelClLanguage& language) {
  if (language.getLanguage() == QelClLanguage::LANGUAGE_NONE ||
      language.getTerritory() == QelClLanguage::TERRITORY_NONE) {
    return out << "??";
  }
  out << QelClLanguage::getLanguageCode(language.getLanguage());
  if (language.getTerritory() != QelClLanguage::TERRITORY_UNSPECIFIED) {
    out << QelClLanguage::cv_cpszCombiningCharString
        << QelClLanguage::getTerritoryCodeShort(language.getTerritory());
  }
  return out;
}
