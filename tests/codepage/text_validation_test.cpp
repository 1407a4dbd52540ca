// Strict validation: each malformed input with the offset and fault it is reported
// with, well-formed edge cases, and faults placed behind ASCII runs of every length the
// fast path can leave.
#include "tests/qel_test.h"

namespace {

struct Case {
  std::string text;
  QelEnTextFault fault;
  std::size_t offset;  // for well-formed text, its size
};

std::string bytes(const char* text, std::size_t size) { return std::string(text, size); }

void expectCases(std::uint32_t ccsid, const std::vector<Case>& cases) {
  QelClTextValidator validator{QelClCCSID(static_cast<QelEnCCSID>(ccsid))};
  ASSERT_TRUE(validator.isSupported()) << ccsid;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    EXPECT_EQ(validator.validate(c.text.data(), c.text.size()), c.fault == TEXTFAULT_NONE);
    EXPECT_EQ(validator.getFault(), c.fault) << validator.getFaultText();
    EXPECT_EQ(validator.getOffset(), c.offset);
  }
}

TEST(TextValidation, Utf8) {
  expectCases(CCSID_UTF8, {
      {"", TEXTFAULT_NONE, 0},
      {bytes("\x00\x7F", 2), TEXTFAULT_NONE, 2},                          // U+0000, U+007F
      {"\xC2\x80\xDF\xBF", TEXTFAULT_NONE, 4},                            // U+0080, U+07FF
      {"\xE0\xA0\x80\xEF\xBF\xBF", TEXTFAULT_NONE, 6},                    // U+0800, U+FFFF
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", TEXTFAULT_NONE, 8},            // U+10000, U+10FFFF
      {"\xEF\xBB\xBF" "a\xED\x9F\xBF\xEE\x80\x80", TEXTFAULT_NONE, 10},   // BOM, U+D7FF, U+E000
      {"\xC0\xAF", TEXTFAULT_OVERLONG, 0},
      {"x\xC1\xBF", TEXTFAULT_OVERLONG, 1},
      {"\xE0\x9F\xBF", TEXTFAULT_OVERLONG, 0},
      {"\xF0\x8F\xBF\xBF", TEXTFAULT_OVERLONG, 0},
      {"ab\xED\xA0\x80", TEXTFAULT_SURROGATE, 2},
      {"\xED\xBF\xBF", TEXTFAULT_SURROGATE, 0},
      {"\xF4\x90\x80\x80", TEXTFAULT_TOO_LARGE, 0},
      {"\xF5\x80\x80\x80", TEXTFAULT_TOO_LARGE, 0},
      {"\xF8\x88\x80\x80\x80", TEXTFAULT_INVALID_LEAD, 0},
      {"\xFF", TEXTFAULT_INVALID_LEAD, 0},
      {"\x80", TEXTFAULT_UNEXPECTED_CONTINUATION, 0},
      {"\xC3\xA9\xBF", TEXTFAULT_UNEXPECTED_CONTINUATION, 2},
      {"a\xC3" "b", TEXTFAULT_MISSING_CONTINUATION, 1},
      {"\xE2\x82" "b", TEXTFAULT_MISSING_CONTINUATION, 0},
      {"\xF0\x9F\x98" "b", TEXTFAULT_MISSING_CONTINUATION, 0},
      {"ok \xE2\x82", TEXTFAULT_TRUNCATED, 3},                            // more bytes may complete it
      {"\xF0\x9F\x98", TEXTFAULT_TRUNCATED, 0},
      {"\xC3", TEXTFAULT_TRUNCATED, 0},
      {"\xE0\x80", TEXTFAULT_OVERLONG, 0},                                // cut, but no byte can mend it
  });
}

// The fast path reads ASCII in blocks: a fault at any position within or after a block,
// and text that ends there, must be found at its own offset.
TEST(TextValidation, Utf8FaultsBehindAsciiRuns) {
  const std::vector<Case> tails = {{"\xC0\xAF", TEXTFAULT_OVERLONG, 0},
                                   {"\x80", TEXTFAULT_UNEXPECTED_CONTINUATION, 0},
                                   {"\xE2\x82", TEXTFAULT_TRUNCATED, 0},
                                   {"\xC3\xA9 \xED\xA0\x80", TEXTFAULT_SURROGATE, 3},
                                   {"\xC3\xA9", TEXTFAULT_NONE, 2}};
  for (const Case& tail : tails) {
    for (std::size_t run = 0; run <= 40; ++run) {
      SCOPED_TRACE(run);
      const std::string text = std::string(run, 'a') + tail.text + (tail.fault == TEXTFAULT_TRUNCATED ? "" : "after");
      std::size_t offset = 0;
      EXPECT_EQ(qelValidateUTF8(text.data(), text.size(), &offset), tail.fault);
      EXPECT_EQ(offset, tail.fault == TEXTFAULT_NONE ? text.size() : run + tail.offset);
    }
  }
}

TEST(TextValidation, Utf16InBothByteOrders) {
  expectCases(CCSID_UCS2_LITTLE_ENDIAN, {
      {bytes("A\0\xFF\xFE\x3D\xD8\x00\xDE", 8), TEXTFAULT_NONE, 8},  // A, U+FEFF, U+1F600
      {bytes("A\0\x00\xDC", 4), TEXTFAULT_UNPAIRED_SURROGATE, 2},
      {bytes("\x3D\xD8" "A\0", 4), TEXTFAULT_UNPAIRED_SURROGATE, 0},
      {bytes("\x3D\xD8\x3D\xD8\x00\xDE", 6), TEXTFAULT_UNPAIRED_SURROGATE, 0},
      {bytes("A\0\x3D\xD8", 4), TEXTFAULT_TRUNCATED, 2},
      {bytes("A\0\x3D\xD8\x00", 5), TEXTFAULT_TRUNCATED, 2},
      {bytes("A\0B", 3), TEXTFAULT_TRUNCATED, 2},
  });
  expectCases(CCSID_UCS2_BIG_ENDIAN, {
      {bytes("\0A\xD8\x3D\xDE\x00", 6), TEXTFAULT_NONE, 6},
      {bytes("\0A\xDC\x00", 4), TEXTFAULT_UNPAIRED_SURROGATE, 2},
      {bytes("\x3D\xD8\x00\xDE", 4), TEXTFAULT_NONE, 4},  // read big-endian: U+3DD8, U+00DE
      {bytes("\xD8\x3D", 2), TEXTFAULT_TRUNCATED, 0},
  });
}

TEST(TextValidation, ShiftedEbcdicPage) {
  expectCases(930, {
      {"\xC1\x0E\x45\x41\x40\x40\x0F\xC2\x0E\x0F", TEXTFAULT_NONE, 10},
      {"\xC1\x0F", TEXTFAULT_UNBALANCED_SHIFT, 1},
      {"\x0E\x45\x41\x0E\x45\x41\x0F", TEXTFAULT_UNBALANCED_SHIFT, 3},
      {"\xC1\x0E\x45\x41", TEXTFAULT_ENDS_SHIFTED_OUT, 1},
      {"\x0E\x45\x41\x45", TEXTFAULT_TRUNCATED, 3},
      {"\x0E\x45\x0F", TEXTFAULT_PAIR_CUT_BY_SHIFT, 1},
      {"\x0E\x45\x41\x45\x0E", TEXTFAULT_PAIR_CUT_BY_SHIFT, 3},
      {bytes("\x0E\x45\x00\x0F", 4), TEXTFAULT_UNDEFINED_PAIR, 1},
      {"\x0E\x45\x41\x01\x41\x0F", TEXTFAULT_INVALID_LEAD, 3},
  });
}

TEST(TextValidation, PureDoubleBytePage) {
  expectCases(301, {
      {"\x82\xA0\x81\x40", TEXTFAULT_NONE, 4},
      {"\x82\xA0\x82", TEXTFAULT_TRUNCATED, 2},
      {bytes("\x82\xA0\x82\x00", 4), TEXTFAULT_UNDEFINED_PAIR, 2},
      {"AB", TEXTFAULT_INVALID_LEAD, 0},  // every byte leads a pair
  });
}

TEST(TextValidation, UnsupportedPagesAndFaultTexts) {
  QelClTextValidator validator(QelClCCSID(static_cast<QelEnCCSID>(37)));
  EXPECT_FALSE(validator.isSupported());
  EXPECT_FALSE(validator.validate("A", 1));
  EXPECT_EQ(validator.getFault(), TEXTFAULT_UNSUPPORTED_CCSID);
  std::size_t offset = 1;
  EXPECT_EQ(qelValidateDBCS(1394, "A", 1, &offset), TEXTFAULT_UNSUPPORTED_CCSID);
  EXPECT_EQ(offset, 0u);

  EXPECT_STREQ(qelTextFaultGetText(TEXTFAULT_OVERLONG), "overlong form");
  EXPECT_STREQ(qelTextFaultGetText(TEXTFAULT_SURROGATE), "surrogate");
  EXPECT_STREQ(qelTextFaultGetText(static_cast<QelEnTextFault>(999)), "unknown fault");
  std::set<std::string> texts;
  for (std::uint32_t fault = TEXTFAULT_NONE; fault <= TEXTFAULT_UNMAPPABLE; ++fault)
    texts.insert(qelTextFaultGetText(static_cast<QelEnTextFault>(fault)));
  EXPECT_EQ(texts.size(), TEXTFAULT_UNMAPPABLE + 1u);  // each fault its own text
}

}  // namespace
