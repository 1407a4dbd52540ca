#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

namespace {

std::string printed(const QelClLanguage& language) {
  std::ostringstream out;
  out << language;
  return out.str();
}

std::string shortCode(const QelClLanguage& language) {
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  language.extractShortCode(buffer);
  return buffer;
}

std::string longCode(const QelClLanguage& language) {
  char buffer[16];
  language.extractLongCode(buffer);
  return buffer;
}

}  // namespace

TEST(Language, ParsesLocaleTexts) {
  const QelClLanguage german("de_DE");
  EXPECT_EQ(german.getLanguage(), QelClLanguage::LANGUAGE_DE);
  EXPECT_EQ(german.getTerritory(), QelClLanguage::TERRITORY_DE);
  EXPECT_STREQ(QelClLanguage::getLanguageName(german.getLanguage()), "German");
  EXPECT_STREQ(QelClLanguage::getTerritoryName(german.getTerritory()), "Germany");
  EXPECT_EQ(printed(german), "de-de");

  const QelClLanguage english("EN");
  EXPECT_EQ(english.getLanguage(), QelClLanguage::LANGUAGE_EN);
  EXPECT_EQ(english.getTerritory(), QelClLanguage::TERRITORY_UNSPECIFIED);
  EXPECT_EQ(printed(english), "en");

  EXPECT_EQ(printed(QelClLanguage("en-us")), "en-us");
  EXPECT_EQ(printed(QelClLanguage("zu-ZW")), "zu-zw");  // the last rows of both tables
  EXPECT_EQ(QelClLanguage("aa-ad").asNumber(), (1u << 16) | 2u);
}

TEST(Language, UnrecognisedPartsPrintAsQuestionMarks) {
  const QelClLanguage threeLetters("eng");
  EXPECT_EQ(threeLetters.getLanguage(), QelClLanguage::LANGUAGE_NONE);
  EXPECT_EQ(printed(threeLetters), "??");

  const QelClLanguage unknownTerritory("en-XX");
  EXPECT_EQ(unknownTerritory.getLanguage(), QelClLanguage::LANGUAGE_EN);
  EXPECT_EQ(unknownTerritory.getTerritory(), QelClLanguage::TERRITORY_NONE);
  EXPECT_EQ(printed(unknownTerritory), "??");

  // the whole rest after the separator names the territory
  EXPECT_EQ(QelClLanguage("en_US.UTF-8").getTerritory(), QelClLanguage::TERRITORY_NONE);
  EXPECT_EQ(QelClLanguage("qq").getLanguage(), QelClLanguage::LANGUAGE_NONE);
  EXPECT_EQ(QelClLanguage("e").getLanguage(), QelClLanguage::LANGUAGE_NONE);
  EXPECT_EQ(QelClLanguage("").getLanguage(), QelClLanguage::LANGUAGE_NONE);
  EXPECT_EQ(QelClLanguage(static_cast<const char*>(nullptr)).getLanguage(),
            QelClLanguage::LANGUAGE_NONE);
  EXPECT_EQ(QelClLanguage("**").getLanguage(), QelClLanguage::LANGUAGE_UNSPECIFIED);
}

TEST(Language, DashIsPreferredOverUnderscore) {
  EXPECT_EQ(QelClLanguage("fr_x-ch").getTerritory(), QelClLanguage::TERRITORY_CH);
  EXPECT_EQ(QelClLanguage("fr_x-ch").getLanguage(), QelClLanguage::LANGUAGE_FR);
}

TEST(Language, CodesOfTheParts) {
  const QelClLanguage english("en");
  EXPECT_EQ(shortCode(english), "en-**");
  EXPECT_EQ(longCode(english), "en-*");
  EXPECT_EQ(shortCode(QelClLanguage("pt-BR")), "pt-br");
  EXPECT_EQ(longCode(QelClLanguage("pt-BR")), "pt-bra");
  EXPECT_EQ(shortCode(QelClLanguage("xx-yy")), "??" "-??");
  EXPECT_EQ(longCode(QelClLanguage("xx-yy")), "??" "-??");
}

TEST(Language, NumbersRoundTrip) {
  for (unsigned language = 0; language < QelClLanguage::getNumberOfLanguagesSupported(); ++language) {
    for (unsigned territory = 0; territory < QelClLanguage::getNumberOfTerritoriesSupported();
         territory += 7) {
      const unsigned number = (language << 16) | territory;
      EXPECT_EQ(QelClLanguage(number).asNumber(), number);
    }
  }
  // halves beyond the tables count as not recognised
  const QelClLanguage beyond(0xFFFFFFFFu);
  EXPECT_EQ(beyond.getLanguage(), QelClLanguage::LANGUAGE_NONE);
  EXPECT_EQ(beyond.getTerritory(), QelClLanguage::TERRITORY_NONE);
  EXPECT_EQ(printed(beyond), "??");
}

TEST(Language, TablesAreComplete) {
  EXPECT_EQ(QelClLanguage::getNumberOfLanguagesSupported(), 143u);
  EXPECT_EQ(QelClLanguage::getNumberOfTerritoriesSupported(), 242u);
  EXPECT_EQ(QelClLanguage::getTerritoryIdNumber(QelClLanguage::TERRITORY_NONE), -1);
  EXPECT_EQ(QelClLanguage::getTerritoryIdNumber(QelClLanguage::TERRITORY_US), 840);
  EXPECT_EQ(QelClLanguage::getTerritoryIdNumber(QelClLanguage::TERRITORY_SP), 0);
  EXPECT_STREQ(QelClLanguage::getTerritoryCodeLong(QelClLanguage::TERRITORY_ZM), "zwb");
  EXPECT_STREQ(QelClLanguage::getLanguageName(QelClLanguage::LANGUAGE_NONE), "??");
  EXPECT_STREQ(QelClLanguage::getLanguageCode(QelClLanguage::LANGUAGE_NONE), "??");
  EXPECT_STREQ(QelClLanguage::getTerritoryCodeShort(QelClLanguage::TERRITORY_NONE), "??");

  // every row is found again by its own code, in any case
  for (unsigned t = 0; t < QelClLanguage::getNumberOfTerritoriesSupported(); ++t) {
    const auto territory = static_cast<QelClLanguage::QelEnTerritory>(t);
    std::string text = std::string("EN-") + QelClLanguage::getTerritoryCodeShort(territory);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(QelClLanguage(text.c_str()).getTerritory(), territory) << text;
  }
  for (unsigned l = 0; l < QelClLanguage::getNumberOfLanguagesSupported(); ++l) {
    const auto language = static_cast<QelClLanguage::QelEnLanguage>(l);
    EXPECT_EQ(QelClLanguage(QelClLanguage::getLanguageCode(language)).getLanguage(), language);
  }
}
