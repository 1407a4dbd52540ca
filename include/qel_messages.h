// vrnqel43: messages and languages.
#ifndef VRNQEL43_QEL_MESSAGES_H
#define VRNQEL43_QEL_MESSAGES_H

#include "qel_base.h"

#include <iosfwd>

// ---- Message tables ------------------------------------------------------------
// The library's own string table: entry 0 is the signature line
// "[QEL_MSGTAB_SIGNATURE] 274", entry 1 the catalog name "[QEL-LIBRARY]", the others
// the library's messages by number. Stores the entry count (274) in *entries.
QEL_C_API const char* const* qelMsgCatGetBuiltInTable(unsigned long* entries);

// ---- Languages -------------------------------------------------------------------
// A language and optionally a territory, as locale texts name them (en-us, de_DE).
class QEL_API QelClLanguage {
public:
  // Indices into the language table; LANGUAGE_NONE: no language recognised.
  enum QelEnLanguage : unsigned int {
#define QEL_LANGUAGE(id, code, name) LANGUAGE_##id,
#include "qel_languages.inc"
    LANGUAGE_NONE
  };
  // Indices into the territory table; TERRITORY_UNSPECIFIED (0): none given,
  // TERRITORY_NONE: not recognised.
  enum QelEnTerritory : unsigned int {
#define QEL_TERRITORY(id, shortCode, longCode, number, name) TERRITORY_##id,
#include "qel_territories.inc"
    TERRITORY_NONE
  };

  // Joins a language code and a territory code: "-".
  static const char* const cv_cpszCombiningCharString;

  explicit QelClLanguage(const char* locale);
  // The language index in the high 16 bits, the territory index in the low 16 bits;
  // an index beyond its table counts as not recognised.
  explicit QelClLanguage(unsigned int number);

  unsigned int asNumber() const;
  QelEnLanguage getLanguage() const { return enLanguage; }
  QelEnTerritory getTerritory() const { return enTerritory; }

  // "en-us", or "en-**" without territory; "??" for a part not recognised.
  // The buffer holds at least 6 characters and the terminator.
  void extractShortCode(char* buffer) const;
  // "en-usa", or "en-*" without territory; the buffer holds at least 7 characters
  // and the terminator.
  void extractLongCode(char* buffer) const;

  // Row data; "??" (or -1 for the number) for LANGUAGE_NONE, TERRITORY_NONE and
  // anything beyond the tables.
  static const char* getLanguageName(QelEnLanguage language);
  static const char* getLanguageCode(QelEnLanguage language);
  static const char* getTerritoryName(QelEnTerritory territory);
  static const char* getTerritoryCodeShort(QelEnTerritory territory);
  static const char* getTerritoryCodeLong(QelEnTerritory territory);
  static int getTerritoryIdNumber(QelEnTerritory territory);
  static unsigned int getNumberOfLanguagesSupported();
  static unsigned int getNumberOfTerritoriesSupported();

protected:
  // Takes the language from the first two characters and the territory from
  // everything after the first "-" (or else "_"), both ignoring case.
  void init(const char* locale);

private:
  QelEnLanguage enLanguage;
  QelEnTerritory enTerritory;
};

// "en-us", "en" without territory, "??" when either part was not recognised.
QEL_API std::ostream& operator<<(std::ostream& out, const QelClLanguage& language);

#endif
