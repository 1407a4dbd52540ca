#include "../qel_test.h"

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
