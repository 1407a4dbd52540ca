// Tests of the CCSID registry: numbers, names, aliases, kinds.
#include "tests/qel_test.h"

namespace {

// The kinds of a CCSID as letters: A ASCII, E EBCDIC, D double-byte, S single-byte,
// U UCS-2.
std::string kinds(const QelClCCSID& ccsid) {
  std::string text;
  if (ccsid.isASCII()) text += 'A';
  if (ccsid.isEBCDIC()) text += 'E';
  if (ccsid.isDBCS()) text += 'D';
  if (ccsid.isSBCS()) text += 'S';
  if (ccsid.isUCS2()) text += 'U';
  return text;
}

TEST(CCSID, RowsOfTheRegistry) {
  const struct {
    std::uint32_t number;
    const char* name;
    const char* kinds;
    bool valid;
  } cases[] = {
      {0, "???", "", false},         {37, "37", "ES", true},        {259, "259", "", true},
      {4133, "037", "E", true},      {954, "QMV33722", "AD", true}, {819, "ISO8859-1", "AS", true},
      {1208, "UTF-8", "A", true},    {1200, "ISO10646-1", "U", true}, {65500, "UCS-2B", "U", true},
      {65501, "UCS-2L", "U", true},  {930, "930", "ED", true},      {806, "806", "S", true},
      {61712, "500", "E", true},   {12345, "???", "", false},     {0xFFFFFFFFu, "???", "", false},
  };
  for (const auto& c : cases) {
    const QelClCCSID ccsid(static_cast<QelEnCCSID>(c.number));
    EXPECT_STREQ(ccsid.getName(), c.name) << c.number;
    EXPECT_EQ(kinds(ccsid), c.kinds) << c.number;
    EXPECT_EQ(ccsid.isValid(), c.valid) << c.number;
  }
}

TEST(CCSID, FromTexts) {
  const struct {
    const char* text;
    std::uint32_t number;
    bool valid;
  } cases[] = {
      {"ucs-2b", 65500, true},  {"037", 37, true},       {"UCS-2", 13488, true},   {"gb-18030", 1392, true},
      {"ISO8859-7", 813, true}, {"qmv33722", 954, true}, {"CP850", 850, false},    {"no digits", 0, false},
      {"1252", 1252, true},     {"12345", 12345, false}, {"utf-8", 1208, true},
  };
  for (const auto& c : cases) {
    const QelClCCSID ccsid(c.text);
    EXPECT_EQ(ccsid.getCCSID(), c.number) << c.text;
    EXPECT_EQ(ccsid.isValid(), c.valid) << c.text;
  }
  EXPECT_STREQ(QelClCCSID("CP850").getName(), "???");
  EXPECT_TRUE(QelClCCSID("ucs-2b").isUCS2BigEndian());
}

// Names as users write them: numbers and registry names, the aliases of the data file
// and the IBM/CP forms, in any case; nothing else, and no number outside the registry.
TEST(CCSID, FindByName) {
  const struct {
    const char* text;
    std::uint32_t number;
  } cases[] = {
      {"37", 37},           {"037", 37},          {"IBM037", 37},        {"cp037", 37},
      {"IBM-037", 37},      {"ebcdic-us", 37},    {"IBM-1047", 1047},    {"ibm1047", 1047},
      {"CP1047", 1047},     {"CP850", 850},       {"IBM850", 850},       {"ibm-850", 850},
      {"CP437", 437},       {"IBM437", 437},      {"latin1", 819},       {"ISO-8859-1", 819},
      {"iso8859-1", 819},   {"L1", 819},          {"UTF8", 1208},        {"utf-8", 1208},
      {"UCS-2BE", 65500},   {"utf-16be", 65500},  {"UCS-2LE", 65501},    {"UTF-16LE", 65501},
      {"CP1252", 1252},     {"Windows-1252", 1252}, {"ucs-2b", 65500},   {"UCS-2", 13488},
      {"4133", 4133},       {"ibm-4133", 4133},   {"CP12345", 0},        {"12345", 0},
      {"0", 0},             {"", 0},              {"latin-9", 0},        {"37x", 0},
      {"CP", 0},            {"IBM-", 0},          {"xcp850", 0},         {"cp-850", 0},
      {"99999999999", 0},   {"???", 0},           {"utf-8 ", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(QelClCCSID::findByName(c.text), c.number) << c.text;
  EXPECT_EQ(QelClCCSID::findByName(nullptr), CCSID_NONE);
}

// The listing is the registry itself: ascending, every row valid and named as a CCSID
// built from its number is.
TEST(CCSID, RegistryListing) {
  std::size_t count = 0;
  const QelClCCSID::Entry* rows = QelClCCSID::getRegistry(count);
  ASSERT_EQ(count, 429u);
  for (std::size_t i = 0; i < count; ++i) {
    const QelClCCSID ccsid(static_cast<QelEnCCSID>(rows[i].ulNumber));
    EXPECT_TRUE(ccsid.isValid()) << rows[i].ulNumber;
    EXPECT_STREQ(ccsid.getName(), rows[i].pszName);
    if (i > 0) {
      EXPECT_LT(rows[i - 1].ulNumber, rows[i].ulNumber);
    }
  }
  EXPECT_EQ(rows[0].ulNumber, 37u);
  EXPECT_EQ(rows[count - 1].ulNumber, 65501u);
}

TEST(CCSID, ByteOrders) {
  EXPECT_TRUE(QelClCCSID(CCSID_UCS2_LITTLE_ENDIAN) == CCSID_UCS2);
  EXPECT_TRUE(QelClCCSID(CCSID_UCS2) == CCSID_UCS2_LITTLE_ENDIAN);
  EXPECT_TRUE(QelClCCSID(CCSID_UCS2_LITTLE_ENDIAN) == CCSID_UCS2_LITTLE_ENDIAN);
  EXPECT_FALSE(QelClCCSID(CCSID_UCS2_LITTLE_ENDIAN) == static_cast<QelEnCCSID>(1200));
  for (std::uint32_t number : {1200u, 13488u, 17584u, 61955u, 65501u}) {
    const QelClCCSID ccsid(static_cast<QelEnCCSID>(number));
    EXPECT_TRUE(ccsid.isUCS2LittleEndian() && ccsid.isUCS2HostEndian() && !ccsid.isUCS2BigEndian()) << number;
  }
  const QelClCCSID big(CCSID_UCS2_BIG_ENDIAN);
  EXPECT_TRUE(big.isUCS2BigEndian() && !big.isUCS2LittleEndian() && !big.isUCS2HostEndian());
  EXPECT_EQ(QelClCCSID::getCCSIDForUCS2EndianId("\xFF\xFE"), CCSID_UCS2_LITTLE_ENDIAN);
  EXPECT_EQ(QelClCCSID::getCCSIDForUCS2EndianId("\xFE\xFF"), CCSID_UCS2_BIG_ENDIAN);
  EXPECT_EQ(QelClCCSID::getCCSIDForUCS2EndianId("\xFE\xFE"), CCSID_NONE);
  EXPECT_EQ(QelClCCSID::getCCSIDForUCS2EndianId(""), CCSID_NONE);
}

// The system's code pages: the locale's code set on POSIX, GetACP and GetOEMCP on
// Windows, whose code pages are all in the registry.
TEST(CCSID, CodePagesOfTheSystem) {
#if defined(_WIN32)
  EXPECT_TRUE(QelClCCSID(QelClCCSID::getSystemCCSID()).isValid());
  EXPECT_TRUE(QelClCCSID(QelClCCSID::getConsoleCCSID()).isValid());
#else
  QelClEnvironmentVariable("LC_ALL", "C.UTF-8");
  EXPECT_EQ(QelClCCSID::getSystemCCSID(), CCSID_UTF8);
  QelClEnvironmentVariable("LC_ALL", "C");
  EXPECT_EQ(QelClCCSID::getSystemCCSID(), 367u) << "the C locale is US-ASCII";
  EXPECT_EQ(QelClCCSID::getConsoleCCSID(), QelClCCSID::getConsoleCCSID()) << "asked once";
  QelClEnvironmentVariable("LC_ALL", "");
#endif
}

}  // namespace
