// Tests of language names and ids.
#include "tests/qel_test.h"

namespace {

using L = QelClLanguage;

std::string printed(const L& language) {
  std::ostringstream out;
  out << language;
  return out.str();
}

TEST(Language, ParsesLocaleTexts) {
  const struct {
    const char* text;
    L::QelEnLanguage language;
    L::QelEnTerritory territory;
    const char* printed;
  } cases[] = {
      {"de_DE", L::LANGUAGE_DE, L::TERRITORY_DE, "de-de"},
      {"EN", L::LANGUAGE_EN, L::TERRITORY_UNSPECIFIED, "en"},
      {"en-us", L::LANGUAGE_EN, L::TERRITORY_US, "en-us"},
      {"zu-ZW", L::LANGUAGE_ZU, L::TERRITORY_ZW, "zu-zw"},  // the last rows of both tables
      {"fr_x-ch", L::LANGUAGE_FR, L::TERRITORY_CH, "fr-ch"},  // a dash before an underscore
      {"eng", L::LANGUAGE_NONE, L::TERRITORY_UNSPECIFIED, "??"},
      {"en-XX", L::LANGUAGE_EN, L::TERRITORY_NONE, "??"},
      // the whole rest after the separator names the territory
      {"en_US.UTF-8", L::LANGUAGE_EN, L::TERRITORY_NONE, "??"},
      {"qq", L::LANGUAGE_NONE, L::TERRITORY_UNSPECIFIED, "??"},
      {"e", L::LANGUAGE_NONE, L::TERRITORY_UNSPECIFIED, "??"},
      {"", L::LANGUAGE_NONE, L::TERRITORY_UNSPECIFIED, "??"},
      {nullptr, L::LANGUAGE_NONE, L::TERRITORY_UNSPECIFIED, "??"},
      {"**", L::LANGUAGE_UNSPECIFIED, L::TERRITORY_UNSPECIFIED, "**"},
  };
  for (const auto& c : cases) {
    const L language(c.text);
    SCOPED_TRACE(c.text != nullptr ? c.text : "null");
    EXPECT_EQ(language.getLanguage(), c.language);
    EXPECT_EQ(language.getTerritory(), c.territory);
    EXPECT_EQ(printed(language), c.printed);
  }
  EXPECT_EQ(L("aa-ad").asNumber(), (1u << 16) | 2u);
  EXPECT_STREQ(L::getLanguageName(L::LANGUAGE_DE), "German");
  EXPECT_STREQ(L::getTerritoryName(L::TERRITORY_DE), "Germany");
}

TEST(Language, CodesOfTheParts) {
  const struct {
    const char* text;
    const char* shortCode;
    const char* longCode;
  } cases[] = {{"en", "en-**", "en-*"}, {"pt-BR", "pt-br", "pt-bra"}, {"xx-yy", "??" "-??", "??" "-??"}};
  for (const auto& c : cases) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    L(c.text).extractShortCode(buffer);
    EXPECT_STREQ(buffer, c.shortCode) << c.text;
    L(c.text).extractLongCode(buffer);
    EXPECT_STREQ(buffer, c.longCode) << c.text;
  }
}

TEST(Language, NumbersRoundTrip) {
  for (unsigned language = 0; language < L::getNumberOfLanguagesSupported(); ++language) {
    for (unsigned territory = 0; territory < L::getNumberOfTerritoriesSupported(); territory += 7) {
      const unsigned number = (language << 16) | territory;
      EXPECT_EQ(L(number).asNumber(), number);
    }
  }
  // halves beyond the tables count as not recognised
  const L beyond(0xFFFFFFFFu);
  EXPECT_EQ(beyond.getLanguage(), L::LANGUAGE_NONE);
  EXPECT_EQ(beyond.getTerritory(), L::TERRITORY_NONE);
  EXPECT_EQ(printed(beyond), "??");
}

TEST(Language, TablesAreComplete) {
  EXPECT_EQ(L::getNumberOfLanguagesSupported(), 143u);
  EXPECT_EQ(L::getNumberOfTerritoriesSupported(), 242u);
  EXPECT_EQ(L::getTerritoryIdNumber(L::TERRITORY_NONE), -1);
  EXPECT_EQ(L::getTerritoryIdNumber(L::TERRITORY_US), 840);
  EXPECT_EQ(L::getTerritoryIdNumber(L::TERRITORY_SP), 0);
  EXPECT_STREQ(L::getTerritoryCodeLong(L::TERRITORY_ZM), "zwb");
  EXPECT_STREQ(L::getLanguageName(L::LANGUAGE_NONE), "??");
  EXPECT_STREQ(L::getLanguageCode(L::LANGUAGE_NONE), "??");
  EXPECT_STREQ(L::getTerritoryCodeShort(L::TERRITORY_NONE), "??");

  // every row is found again by its own code, in any case
  for (unsigned t = 0; t < L::getNumberOfTerritoriesSupported(); ++t) {
    const auto territory = static_cast<L::QelEnTerritory>(t);
    std::string text = std::string("EN-") + L::getTerritoryCodeShort(territory);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(L(text.c_str()).getTerritory(), territory) << text;
  }
  for (unsigned l = 0; l < L::getNumberOfLanguagesSupported(); ++l) {
    const auto language = static_cast<L::QelEnLanguage>(l);
    EXPECT_EQ(L(L::getLanguageCode(language)).getLanguage(), language);
  }
}

}  // namespace
