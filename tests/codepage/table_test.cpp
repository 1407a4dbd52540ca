// The built-in tables against the published mappings they come from: every byte of
// every single-byte table and every byte pair of every double-byte table converts as
// the UCM file's round trips (|0) and fallbacks to Unicode (|3) say.
#include "tests/codepage/ucm_file.h"

namespace {

std::uint32_t expected(const Ucm& ucm, const std::string& bytes) {
  const auto found = ucm.toUnicode.find(bytes);
  return found == ucm.toUnicode.end() || found->second > 0xFFFF ? 0xFFFD : found->second;
}

std::uint32_t valueAt(const unsigned char* values, unsigned int index) {
  return static_cast<std::uint32_t>(values[2 * index] << 8 | values[2 * index + 1]);
}

TEST(CodePageTables, AgreeWithThePublishedMappings) {
  int singleByte = 0, doubleByte = 0;
  for (const Ucm& ucm : readAllUcm()) {
    SCOPED_TRACE(ucm.ccsid);
    if (ucm.singleByte) {
      ++singleByte;
      const unsigned char* table = qelGetSBCStoUCS2Table(ucm.ccsid);
      ASSERT_NE(table, nullptr);
      for (unsigned int b = 0; b < 256; ++b) EXPECT_EQ(valueAt(table, b), expected(ucm, std::string(1, char(b)))) << b;
      continue;
    }
    ++doubleByte;
    bool ebcdic = false;
    const _QelStDBCSTable* table = qelGetDBCStoUCS2Table(ucm.ccsid, ebcdic);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->ulCCSID, ucm.ccsid);
    EXPECT_EQ(ebcdic, ucm.ccsid == 930 || ucm.ccsid == 939 || ucm.ccsid == 4930 || ucm.ccsid == 4933);
    const unsigned char* single = table->pucPages + 512;
    for (unsigned int b = 0; b < 256; ++b) {
      ASSERT_GE(table->aucPageNumbers[b], 1);
      ASSERT_LE(table->aucPageNumbers[b], table->ulPageCount);
      EXPECT_NE(table->pucLeadBytes[b], 0);
      EXPECT_EQ(valueAt(single, b), expected(ucm, std::string(1, char(b))));
      const unsigned char* page = table->pucPages + 512u * (table->aucPageNumbers[b] - 1u);
      for (unsigned int second = 0; second < 256; ++second) {
        const std::string pair{char(b), char(second)};
        ASSERT_EQ(valueAt(page, second), expected(ucm, pair)) << b << " " << second;
      }
    }
  }
  EXPECT_EQ(singleByte, 49);
  EXPECT_EQ(doubleByte, 10);
  bool ebcdic = true;
  EXPECT_EQ(qelGetDBCStoUCS2Table(1394, ebcdic), nullptr) << "no published mapping: ICU converts it";
  EXPECT_EQ(qelGetEUCtoUCS2Table(33722), nullptr);
}

}  // namespace
