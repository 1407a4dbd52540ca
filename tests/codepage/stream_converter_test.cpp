// The stream converter: every text converted in two pieces split at every offset gives
// the bytes and the fault of converting it whole; faults carry their offset in the
// stream; lenient streams give what the one-shot converters give.
#include "tests/qel_test.h"

#if !defined(_WIN32)
#include <unicode/ucnv.h>
#endif

namespace {

struct Result {
  std::string output;
  QelEnTextFault fault = TEXTFAULT_NONE;
  std::uint64_t offset = 0;
  bool operator==(const Result& other) const {
    return output == other.output && fault == other.fault && offset == other.offset;
  }
};

void PrintTo(const Result& result, std::ostream* out) {
  *out << ::testing::PrintToString(result.output) << " fault " << result.fault << " at " << result.offset;
}

QelClCCSID ccsid(std::uint32_t number) { return QelClCCSID(static_cast<QelEnCCSID>(number)); }

// Converts text in the pieces that the cuts (ascending offsets) make.
Result streamed(QelClStreamConverter& converter, const std::string& text, std::initializer_list<std::size_t> cuts) {
  converter.reset();
  Result result;
  std::size_t from = 0;
  std::vector<std::size_t> ends(cuts);
  ends.push_back(text.size());
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const bool last = i + 1 == ends.size();
    const bool ok = converter.convert(text.data() + from, ends[i] - from, last);
    result.output.append(converter.getOutput(), converter.getOutputSize());
    if (!ok) {
      result.fault = converter.getFault();
      result.offset = converter.getFaultOffset();
      break;
    }
    from = ends[i];
  }
  return result;
}

Result whole(std::uint32_t from, std::uint32_t to, QelEnConversionMode mode, const std::string& text) {
  QelClStreamConverter converter(ccsid(from), ccsid(to), mode);
  return streamed(converter, text, {});
}

// The one-shot conversion of the whole text.
std::string oneShot(std::uint32_t from, std::uint32_t to, const std::string& text) {
  const QelClCodePage2CodePageConverter converter(ccsid(from), ccsid(to));
  std::string target(4 * text.size() + 16, '\0');
  const unsigned int written = converter.convertBytes(&target[0], static_cast<unsigned int>(target.size()),
                                                      text.data(), static_cast<unsigned int>(text.size()));
  target.resize(written);
  return target;
}

// Split at every offset, and in three pieces around every offset, equals whole.
void expectSplitsEqualWhole(std::uint32_t from, std::uint32_t to, QelEnConversionMode mode, const std::string& text) {
  SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to) + " mode " + std::to_string(mode));
  QelClStreamConverter converter(ccsid(from), ccsid(to), mode);
  ASSERT_TRUE(converter.isSupported());
  const Result expected = streamed(converter, text, {});
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    ASSERT_EQ(streamed(converter, text, {cut}), expected) << "split at " << cut;
    if (cut > 0 && cut < text.size()) {
      ASSERT_EQ(streamed(converter, text, {cut - 1, cut}), expected) << cut;
    }
  }
}

const std::string kText = "Gr\xC3\xBC\xC3\x9F" "e, \xE6\x97\xA5\xE6\x9C\xAC, \xF0\x9F\x98\x80 \xE2\x82\xAC\n end";

// Defined pairs of a double-byte table, count of them from its first pages.
std::string definedPairs(std::uint32_t number, std::size_t count) {
  bool ebcdic = false;
  const _QelStDBCSTable* table = qelGetDBCStoUCS2Table(number, ebcdic);
  std::string pairs;
  for (unsigned int lead = 0x41; lead < 0xFF && pairs.size() < 2 * count; ++lead) {
    if (table->aucPageNumbers[lead] <= 1) continue;
    const unsigned char* page = table->pucPages + 512u * (table->aucPageNumbers[lead] - 1u);
    for (unsigned int second = 0x41; second < 0xFF && pairs.size() < 2 * count; ++second) {
      if (page[2 * second] == 0xFF && page[2 * second + 1] == 0xFD) continue;
      if (second == 0x0E || second == 0x0F) continue;
      pairs += static_cast<char>(lead);
      pairs += static_cast<char>(second);
    }
  }
  return pairs;
}

TEST(StreamConverter, SplitsEqualWholeForUnicodeForms) {
  const std::string ucs2 = oneShot(CCSID_UTF8, CCSID_UCS2, kText);
  const std::string ucs2Big = oneShot(CCSID_UTF8, CCSID_UCS2_BIG_ENDIAN, kText);
  for (const QelEnConversionMode mode : {CONVERSION_STRICT, CONVERSION_SUBSTITUTE, CONVERSION_LENIENT}) {
    expectSplitsEqualWhole(CCSID_UTF8, CCSID_UCS2, mode, kText);
    expectSplitsEqualWhole(CCSID_UCS2, CCSID_UTF8, mode, ucs2);
    expectSplitsEqualWhole(CCSID_UCS2_BIG_ENDIAN, CCSID_UTF8, mode, ucs2Big);
    expectSplitsEqualWhole(CCSID_UTF8, CCSID_UTF8, mode, kText);
  }
  EXPECT_EQ(whole(CCSID_UTF8, CCSID_UCS2, CONVERSION_STRICT, kText).output, ucs2);
  EXPECT_EQ(whole(CCSID_UCS2, CCSID_UTF8, CONVERSION_STRICT, ucs2).output, kText);
}

TEST(StreamConverter, SplitsEqualWholeForEverySingleByteTable) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  for (const std::uint32_t number : {37u, 273u, 274u, 277u, 278u, 280u, 284u, 285u, 290u, 297u, 420u, 423u, 424u,
                                     437u, 500u, 737u, 819u, 833u, 836u, 838u, 850u, 852u, 870u, 871u, 875u, 891u,
                                     895u, 924u, 1025u, 1026u, 1027u, 1040u, 1041u, 1043u, 1046u, 1088u, 1112u,
                                     1114u, 1115u, 1122u, 1123u, 1142u, 1145u, 1155u, 1163u, 1250u, 1252u, 9048u,
                                     13121u}) {
    expectSplitsEqualWhole(number, CCSID_UTF8, CONVERSION_LENIENT, everyByte);
    EXPECT_EQ(whole(number, CCSID_UTF8, CONVERSION_LENIENT, everyByte).output,
              oneShot(number, CCSID_UTF8, everyByte)) << number;
  }
}

TEST(StreamConverter, SplitsEqualWholeForShiftedDoubleBytePages) {
  for (const std::uint32_t number : {930u, 939u}) {
    const std::string pairs = definedPairs(number, 6);
    const std::string text = "AB\x0E" + pairs.substr(0, 6) + "\x0F" "C\x0E" + pairs.substr(6) + "\x0F";
    for (const QelEnConversionMode mode : {CONVERSION_STRICT, CONVERSION_LENIENT}) {
      expectSplitsEqualWhole(number, CCSID_UTF8, mode, text);
      expectSplitsEqualWhole(number, CCSID_UCS2, mode, text);
    }
    EXPECT_EQ(whole(number, CCSID_UTF8, CONVERSION_STRICT, text).output, oneShot(number, CCSID_UTF8, text));
    // A malformed pair and an unbalanced shift are found wherever the text is split.
    expectSplitsEqualWhole(number, CCSID_UTF8, CONVERSION_STRICT, "A\x0E" + pairs.substr(0, 3) + "\x0F" "B");
    expectSplitsEqualWhole(number, CCSID_UTF8, CONVERSION_STRICT, "A\x0E" + pairs.substr(0, 2) + "\x0E");
    expectSplitsEqualWhole(number, CCSID_UTF8, CONVERSION_LENIENT, "A\x0E" + pairs.substr(0, 3) + "\x0F" "B");
  }
}

// The pages without an ICU converter (every page, where there is no ICU) stream through the
// built-in tables from UCS-2 with their shift state: in any pieces as whole, as the one-shot
// converters in lenient mode, and strict streams stop at a character the page lacks.
TEST(StreamConverter, BuiltInTablesFromUnicodeStreamAsWhole) {
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE3\x80\x80\xE8\xAA\x9E";  // U+65E5 U+672C U+3000 U+8A9E
  const std::string mixed = "A" + japanese + "B\xC2\xA0" "C";                        // U+00A0: no mapping
  for (const QelEnConversionMode mode : {CONVERSION_STRICT, CONVERSION_SUBSTITUTE, CONVERSION_LENIENT}) {
    expectSplitsEqualWhole(CCSID_UTF8, 4930, mode, japanese);
    expectSplitsEqualWhole(CCSID_UTF8, 930, mode, mixed);
    expectSplitsEqualWhole(CCSID_UTF8, 948, mode, mixed);
    expectSplitsEqualWhole(CCSID_UCS2, 4930, mode, std::string("\x70\xD8\xD8\xD8\x00\x30", 6));  // lone surrogates
  }
  for (const std::uint32_t number : {4930u, 930u, 948u}) {
    EXPECT_EQ(whole(CCSID_UTF8, number, CONVERSION_LENIENT, mixed).output, oneShot(CCSID_UTF8, number, mixed)) << number;
  }
  const Result strict = whole(CCSID_UTF8, 948, CONVERSION_STRICT, mixed);
  EXPECT_EQ(strict.fault, TEXTFAULT_UNMAPPABLE);
  EXPECT_EQ(strict.offset, 14u);
  EXPECT_EQ(strict.output, oneShot(CCSID_UTF8, 948, mixed.substr(0, 14)));
  QelClStreamConverter converter(ccsid(CCSID_UTF8), ccsid(4930));
  EXPECT_FALSE(converter.convert("\xF0\x9F\x98\x80", 4, true));
  EXPECT_EQ(converter.getFaultCharacter(), 0x1F600u);
}

struct FaultCase {
  std::string text;
  QelEnTextFault fault;
  std::uint64_t offset;
  std::string output;  // UCS-2 of what precedes the fault
};

TEST(StreamConverter, MalformedUtf8StopsWithItsOffset) {
  const std::vector<FaultCase> cases = {
      {"ab\xC0\xAF" "c", TEXTFAULT_OVERLONG, 2, std::string("a\0b\0", 4)},
      {"\xED\xA0\x80", TEXTFAULT_SURROGATE, 0, ""},
      {"x\xF8\x88\x80\x80\x80", TEXTFAULT_INVALID_LEAD, 1, std::string("x\0", 2)},
      {"\xF4\x90\x80\x80", TEXTFAULT_TOO_LARGE, 0, ""},
      {"a\x80", TEXTFAULT_UNEXPECTED_CONTINUATION, 1, std::string("a\0", 2)},
      {"a\xC3" "b", TEXTFAULT_MISSING_CONTINUATION, 1, std::string("a\0", 2)},
      {"ab\xE2\x82", TEXTFAULT_TRUNCATED, 2, std::string("a\0b\0", 4)},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    const Result result = whole(CCSID_UTF8, CCSID_UCS2, CONVERSION_STRICT, c.text);
    EXPECT_EQ(result.fault, c.fault) << qelTextFaultGetText(result.fault);
    EXPECT_EQ(result.offset, c.offset);
    EXPECT_EQ(result.output, c.output);
    expectSplitsEqualWhole(CCSID_UTF8, CCSID_UCS2, CONVERSION_STRICT, c.text);
    expectSplitsEqualWhole(CCSID_UTF8, CCSID_UTF8, CONVERSION_STRICT, c.text);
  }
  // Lenient streams read as the one-shot converter does: the "b" is swallowed; only a
  // character the stream's end cuts stops them.
  EXPECT_EQ(whole(CCSID_UTF8, CCSID_UCS2, CONVERSION_LENIENT, "a\xC3" "b").output, oneShot(CCSID_UTF8, CCSID_UCS2, "a\xC3" "b"));
  const Result cut = whole(CCSID_UTF8, CCSID_UCS2, CONVERSION_LENIENT, "ab\xE2\x82");
  EXPECT_EQ(cut.fault, TEXTFAULT_TRUNCATED);
  EXPECT_EQ(cut.offset, 2u);
}

TEST(StreamConverter, FaultsStopTheStreamUntilReset) {
  QelClStreamConverter converter(ccsid(CCSID_UTF8), ccsid(CCSID_UCS2));
  EXPECT_FALSE(converter.convert("abc\xC0\xAF", 5, false));
  EXPECT_EQ(converter.getError().ulErrorId, static_cast<std::uint32_t>(CPCONVERTER_INVALID_SEQ));
  EXPECT_FALSE(converter.convert("d", 1, true));
  EXPECT_EQ(converter.getOutputSize(), 0u);
  converter.reset();
  EXPECT_TRUE(converter.convert("d", 1, true));
  EXPECT_EQ(converter.getError().ulErrorId, 0u);
  EXPECT_EQ(std::string(converter.getOutput(), converter.getOutputSize()), std::string("d\0", 2));

  QelClStreamConverter unsupported(ccsid(CCSID_UTF8), ccsid(12345));
  EXPECT_FALSE(unsupported.isSupported());
  EXPECT_FALSE(unsupported.convert("a", 1, true));
  EXPECT_EQ(unsupported.getError().ulErrorId, static_cast<std::uint32_t>(CPCONVERTER_UNSUPPORTED));
}

TEST(StreamConverter, OffsetsCountTheWholeStream) {
  QelClStreamConverter converter(ccsid(CCSID_UTF8), ccsid(CCSID_UCS2));
  const std::string piece(1000, 'a');
  ASSERT_TRUE(converter.convert(piece.data(), piece.size(), false));
  ASSERT_TRUE(converter.convert("\xE2\x82", 2, false));
  EXPECT_FALSE(converter.convert("\xAC\xED\xA0\x80", 4, true));
  EXPECT_EQ(converter.getFault(), TEXTFAULT_SURROGATE);
  EXPECT_EQ(converter.getFaultOffset(), 1003u);
  EXPECT_EQ(converter.getStreamSize(), 1006u);
  EXPECT_EQ(std::string(converter.getOutput(), converter.getOutputSize()), std::string("\xAC\x20", 2));
}

// Strict streams stop at the euro sign wherever the target lacks it; substituting ones
// write the substitution of the page's published mapping.
TEST(StreamConverter, CharactersTheTargetLacks) {
  struct Target {
    std::uint32_t number;
    std::string before, substituted;  // "a" before the euro sign; "a", euro sign, "b" substituted
  };
  const std::vector<Target> targets = {
      {37, "\x81", "\x81\x3F\x82"},
      {500, "\x81", "\x81\x3F\x82"},
      {850, "a", "a\x7F" "b"},
      {819, "a", "a\x1A" "b"},
      {930, "\x62", "\x62\x0E\xFE\xFE\x0F\x63"},
  };
  for (const Target& target : targets) {
    SCOPED_TRACE(target.number);
    const Result strict = whole(CCSID_UTF8, target.number, CONVERSION_STRICT, "a\xE2\x82\xAC" "b");
    EXPECT_EQ(strict.fault, TEXTFAULT_UNMAPPABLE);
    EXPECT_EQ(strict.offset, 1u);
    EXPECT_EQ(strict.output, target.before);
    EXPECT_EQ(whole(CCSID_UTF8, target.number, CONVERSION_SUBSTITUTE, "a\xE2\x82\xAC" "b").output, target.substituted);
  }
  QelClStreamConverter converter(ccsid(CCSID_UTF8), ccsid(37));
  EXPECT_FALSE(converter.convert("\xF0\x9F\x98\x80", 4, true));
  EXPECT_EQ(converter.getFaultCharacter(), 0x1F600u);
  expectSplitsEqualWhole(CCSID_UTF8, 37, CONVERSION_STRICT, "ab \xF0\x9F\x98\x80 c");
  expectSplitsEqualWhole(CCSID_UTF8, 37, CONVERSION_SUBSTITUTE, "ab \xF0\x9F\x98\x80 \xE2\x82\xAC");
  // A fault inside a double-byte run ends what was written with a shift-in.
  const Result shifted = whole(CCSID_UTF8, 930, CONVERSION_STRICT, "\xE6\x97\xA5\xE2\x82\xAC");
  EXPECT_EQ(shifted.offset, 3u);
  EXPECT_EQ(shifted.output.back(), '\x0F');
}

#if !defined(_WIN32)
// ICU's conversion of text between two ICU converter names.
std::string icuConverted(const char* from, const char* to, const std::string& text) {
  std::string target(4 * text.size() + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_convert(to, from, &target[0], static_cast<int32_t>(target.size()), text.data(),
                                      static_cast<int32_t>(text.size()), &status);
  EXPECT_LE(status, U_ZERO_ERROR) << u_errorName(status);
  target.resize(static_cast<std::size_t>(length));
  return target;
}

TEST(StreamConverter, IcuPagesStreamAsWhole) {
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E abc \xEF\xBD\xB1";
  const std::string shiftJis = oneShot(CCSID_UTF8, 943, japanese);
  ASSERT_FALSE(shiftJis.empty());
  for (const QelEnConversionMode mode : {CONVERSION_STRICT, CONVERSION_LENIENT}) {
    expectSplitsEqualWhole(943, CCSID_UTF8, mode, shiftJis);
    expectSplitsEqualWhole(CCSID_UTF8, 943, mode, japanese);
    expectSplitsEqualWhole(CCSID_UTF8, 939, mode, japanese);
  }
  EXPECT_EQ(whole(943, CCSID_UTF8, CONVERSION_STRICT, shiftJis).output, japanese);
  EXPECT_EQ(whole(CCSID_UTF8, 939, CONVERSION_STRICT, japanese).output, oneShot(CCSID_UTF8, 939, japanese));
}

// A double-byte run of several MiB without a line end, in pieces of 1 MiB, gives what
// ICU gives for the whole.
TEST(StreamConverter, LongShiftedRunEqualsIcu) {
  const std::string pairs = definedPairs(939, 2000);
  std::string text = "\x0E";
  while (text.size() < 3 * 1024 * 1024) text += pairs;
  text += "\x0F";
  QelClStreamConverter converter(ccsid(939), ccsid(CCSID_UTF8));
  std::string output;
  const std::size_t piece = 1024 * 1024 + 1;  // odd, so that pieces cut pairs
  for (std::size_t at = 0; at < text.size(); at += piece) {
    const std::size_t size = std::min(piece, text.size() - at);
    ASSERT_TRUE(converter.convert(text.data() + at, size, at + size == text.size())) << converter.getFault();
    output.append(converter.getOutput(), converter.getOutputSize());
  }
  EXPECT_TRUE(output == icuConverted("ibm-939", "UTF-8", text));
}
#endif

}  // namespace
