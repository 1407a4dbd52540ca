// Tests of the one-shot converters between code pages, UCS-2 and UTF-8.
#include "tests/qel_test.h"

namespace {

using Bytes = std::string;

struct Result {
  Bytes output;
  unsigned int consumed;
  std::uint32_t error;
};

// Converts input with a target of targetSize bytes.
Result convert(const QelClConverterABase& converter, const Bytes& input, unsigned int targetSize = 64) {
  std::vector<char> target(targetSize + 1, '#');
  const char* source = input.data();
  const unsigned int written =
      converter.convertBytes(target.data(), targetSize, &source, static_cast<unsigned int>(input.size()));
  EXPECT_EQ(target[targetSize], '#') << "nothing written past the target";
  return {Bytes(target.data(), written), static_cast<unsigned int>(source - input.data()),
          converter.getError().ulErrorId};
}

QelClCCSID ccsid(std::uint32_t number) { return QelClCCSID(static_cast<QelEnCCSID>(number)); }

// A conversion by the converter of one CCSID (the source, or the target from UCS-2).
struct Case {
  std::uint32_t ccsid;
  Bytes input;
  unsigned int targetSize;
  Bytes output;
  unsigned int consumed;
  std::uint32_t error;
};

void expectCase(const QelClConverterABase& converter, const Case& c) {
  const Result result = convert(converter, c.input, c.targetSize);
  SCOPED_TRACE(std::to_string(c.ccsid) + " " + c.input);
  EXPECT_EQ(result.output, c.output);
  EXPECT_EQ(result.consumed, c.consumed);
  EXPECT_EQ(result.error, c.error);
}

TEST(Converters, ToUnicode) {
  const Case cases[] = {
      {13488, "abc", 64, "ab", 2, CPCONVERTER_INCOMPLETE}, {13488, "abcd", 2, "ab", 2, 0},
      {65500, Bytes("\x00\x41\x20\xAC", 4), 64, Bytes("\x41\x00\xAC\x20", 4), 4, 0},
      {37, "\x15\xC1", 64, Bytes("\x0A\x00\x41\x00", 4), 2, 0},   // next line becomes a line feed
      {37, "\x25", 64, Bytes("\x0A\x00", 2), 1, 0},
      {437, "\x82\x41", 64, Bytes("\xE9\x00\x41\x00", 4), 2, 0},
      {819, "\xE9", 64, Bytes("\xE9\x00", 2), 1, 0}, {1208, "\xE2\x82", 64, "", 0, CPCONVERTER_INCOMPLETE},
      {1208, "A\xC3\xA9\xE2\x82\xAC", 64, Bytes("\x41\x00\xE9\x00\xAC\x20", 6), 6, 0},
      {1208, "\xF0\x9F\x98\x80", 64, Bytes("\x3D\xD8\x00\xDE", 4), 4, 0},
      {1208, "\xF0\x9F\x98\x80", 2, "", 4, CPCONVERTER_TOO_BIG},
      {1208, "ab", 1, "", 1, CPCONVERTER_TOO_BIG},
      {1208, "\xFE\x80\x80\x80\x80\x80", 64, Bytes("\xFD\xFF", 2), 6, 0},  // beyond 0x7FFFFFFF
      {1208, Bytes("\xFC\x80\x80\x80\x80\x80", 6), 64, Bytes("\x00\x00", 2), 6, 0},  // 32-bit sums
      {1208, "\xF8\x88\x80\x80\x80", 64, Bytes("\xC0\xDF\x00\xDC", 4), 5, 0},
      {930, "\x0E\x45\x41\x0F\xC1\x15", 64, Bytes("\x00\x4E\x41\x00\x0A\x00", 6), 6, 0},
      {930, "\x0E\x45\x41", 64, Bytes("\x00\x4E", 2), 3, CPCONVERTER_INCOMPLETE},  // ends shifted out
      {930, "\x0E\x45\x41\x45", 64, Bytes("\x00\x4E", 2), 3, CPCONVERTER_INCOMPLETE},
      {930, "\xC1\xC1", 2, Bytes("\x41\x00", 2), 1, CPCONVERTER_TOO_BIG},
      {5026, "\xC1", 64, Bytes("\x41\x00", 2), 1, 0},
      {301, "\x82\xA0\x82", 64, Bytes("\x42\x30", 2), 2, CPCONVERTER_INCOMPLETE},
      {301, "\x82\xA0\x82\xA0", 3, Bytes("\x42\x30", 2), 2, CPCONVERTER_TOO_BIG},
      {301, "AB", 64, Bytes("\xFD\xFF", 2), 2, 0},  // every byte leads a pair
      {0, "abc", 64, "", 0, CPCONVERTER_UNSUPPORTED},
  };
  for (const Case& c : cases) expectCase(QelClCodePage2UnicodeConverter(ccsid(c.ccsid)), c);
}

TEST(Converters, FromUnicode) {
  const Case cases[] = {
      {1208, Bytes("\x00\xD8\x41\x00", 4), 64, "\xEF\xBF\xBF\x41", 4, 0},
      {1208, Bytes("\xAC\x20\xE9\x00", 4), 64, "\xE2\x82\xAC\xC3\xA9", 4, 0},
      {1208, Bytes("\x3D\xD8\x00\xDE", 4), 64, "\xF0\x9F\x98\x80", 4, 0},
      {1208, Bytes("\x00\xDC\xFE\xFF\xD0\xFD", 6), 64, "\xEF\xBF\xBF\xEF\xBF\xBF\xEF\xBF\xBF", 6, 0},
      {1208, Bytes("\xAC\x20\x41", 3), 64, "\xE2\x82\xAC", 2, CPCONVERTER_INCOMPLETE},
      {1208, Bytes("\xAC\x20\x41\x00", 4), 2, "", 2, CPCONVERTER_TOO_BIG},
      {819, Bytes("\x41\x01\xE9\x00", 4), 64, "\x41\xE9", 4, 0},
      {500, Bytes("\x41\x00\x0A\x00\x41\x30", 6), 64, "\xC1\x25\x3F", 6, 0},
      {850, Bytes("\xE9\x00\x88\x25", 4), 64, "\x82\xDB", 4, 0},
      {65500, Bytes("\x41\x00", 2), 64, Bytes("\x00\x41", 2), 2, 0},
      {0, Bytes("\x41\x00", 2), 64, "", 0, CPCONVERTER_UNSUPPORTED},
  };
  for (const Case& c : cases) expectCase(QelClUnicode2CodePageConverter(ccsid(c.ccsid)), c);
}

TEST(Converters, CodePageToCodePage) {
  const QelClCodePage2UTF8Converter ebcdic(ccsid(37));
  EXPECT_TRUE(ebcdic.isSupported());
  EXPECT_EQ(ebcdic.getTargetCCSID().getCCSID(), CCSID_UTF8);
  EXPECT_EQ(convert(ebcdic, "\xC8\x85\x93\x93\x96\x25").output, "Hello\n");
  const QelClCodePage2CodePageConverter toLatin(ccsid(1208), ccsid(819));
  EXPECT_EQ(convert(toLatin, "caf\xC3\xA9").output, "caf\xE9");
  const Result cut = convert(toLatin, "a\xC3");
  EXPECT_EQ(cut.output, "a");
  EXPECT_EQ(cut.error, 0u) << "the second step does not report the first's incomplete end";
  EXPECT_EQ(cut.consumed, 1u) << "but the source position shows it";
  const QelClCodePage2CodePageConverter same(ccsid(65501), ccsid(13488));
  EXPECT_EQ(convert(same, "abc", 2).output, "ab") << "equal CCSIDs copy";
  const QelClCodePage2CodePageConverter fromUcs2(ccsid(13488), ccsid(1208));
  EXPECT_EQ(convert(fromUcs2, Bytes("\xE9\x00", 2)).output, "\xC3\xA9");
  const QelClCodePage2CodePageConverter toUcs2(ccsid(437), ccsid(1200));
  EXPECT_EQ(convert(toUcs2, "\x82").output, Bytes("\xE9\x00", 2));
  const std::string large(40000, 'a');
  EXPECT_EQ(convert(toLatin, large, 40000).output, large) << "the intermediate buffer grows";

  const QelClCodePage2CodePageConverter unsupported(ccsid(0), ccsid(1208));
  EXPECT_FALSE(unsupported.isSupported());
  EXPECT_TRUE(unsupported.requiresExternalICONVRoutine());
  EXPECT_FALSE(unsupported.requiresExternalICUData());
  EXPECT_EQ(convert(unsupported, "abc").error, CPCONVERTER_UNSUPPORTED);
  EXPECT_EQ(unsupported.getError().enErrorClass, QelEnErrorClass::INCONSISTENT_SITUATION);
}

TEST(Converters, MaximumSizes) {
  const struct {
    std::uint32_t source, target;
    unsigned int forLength, forSize;  // of 10
  } cases[] = {
      {37, 13488, 20, 20},   {1392, 13488, 40, 20}, {13488, 13488, 20, 10}, {13488, 1208, 40, 15},
      {13488, 1392, 40, 10}, {13488, 37, 20, 5},    {13488, 930, 20, 10},   {37, 1208, 40, 30},
      {1392, 1208, 40, 20},  {1208, 1208, 40, 10},  {13488, 819, 20, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.source) + " to " + std::to_string(c.target));
    using Converter = std::unique_ptr<QelClConverterABase>;
    const Converter converter =
        c.target == 13488   ? Converter(new QelClCodePage2UnicodeConverter(ccsid(c.source)))
        : c.source == 13488 ? Converter(new QelClUnicode2CodePageConverter(ccsid(c.target)))
                            : Converter(new QelClCodePage2CodePageConverter(ccsid(c.source), ccsid(c.target)));
    EXPECT_EQ(converter->getMaximumSizeForLength(10), c.forLength);
    EXPECT_EQ(converter->getMaximumSizeForSize(10), c.forSize);
  }
}

// Every single-byte table converts every byte as its published round-trip mapping says:
// a few known values of each kind, and every byte of 819 to itself.
TEST(Converters, SingleByteTables) {
  const QelClCodePage2UnicodeConverter latin(ccsid(819));
  Bytes all, expected;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
    expected += static_cast<char>(b);
    expected += '\0';
  }
  EXPECT_EQ(convert(latin, all, 512).output, expected);
  EXPECT_EQ(qelGetSBCStoUCS2Table(1394), nullptr);
  EXPECT_EQ(qelGetUCS2toSBCSTable(37), nullptr);
  const unsigned char* ebcdic = qelGetSBCStoUCS2Table(37);
  ASSERT_NE(ebcdic, nullptr);
  EXPECT_EQ(ebcdic[2 * 0xC1] << 8 | ebcdic[2 * 0xC1 + 1], 0x41);
  EXPECT_EQ(ebcdic[2 * 0x15] << 8 | ebcdic[2 * 0x15 + 1], 0x85) << "next line, made a line feed on conversion";
  EXPECT_TRUE(QelClConverterABase::isUCS2BigEndianId(QelClConverterABase::getUCS2BigEndianId()));
  EXPECT_TRUE(QelClConverterABase::isUCS2LittleEndianId(QelClConverterABase::getUCS2HostEndianId()));
  EXPECT_FALSE(QelClConverterABase::isUCS2BigEndianId(QelClConverterABase::getUCS2LittleEndianId()));
}

}  // namespace
