// The conversion from UCS-2 into every built-in page: the tables against the published
// mappings and against ICU's converters, the encoder's shift state, room and stops, and the
// converters that use the tables where ICU has no converter for the page.
#include "tests/codepage/ucm_file.h"

#include "codepage/reverse_tables.h"

#ifndef _WIN32
#include <unicode/ucnv.h>
#endif

namespace {

using qel::codepage::ReverseEncoder;
using qel::codepage::ReverseTable;

// UCS-2 text as the encoder reads it, low byte first.
std::string bytesOf(const std::u16string& text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The whole text through a fresh encoder, ended with finish().
std::string encodeText(const ReverseTable& table, const std::u16string& text) {
  const std::string source = bytesOf(text);
  std::string target(3 * text.size() + 1, '\0');
  ReverseEncoder encoder(table);
  std::size_t written = 0;
  EXPECT_EQ(encoder.encode(source.data(), text.size(), target.data(), target.size(), written, false, true), text.size());
  written += encoder.finish(target.data() + written, target.size() - written);
  target.resize(written);
  return target;
}

bool isShifting(std::uint32_t ccsid) {
  bool ebcdic = false;
  return qelGetDBCStoUCS2Table(ccsid, ebcdic) != nullptr && ebcdic;
}

std::string hex(const std::string& bytes) {
  std::string text;
  char two[4];
  for (const char byte : bytes) {
    std::snprintf(two, sizeof two, "%02X ", static_cast<unsigned char>(byte));
    text += two;
  }
  return text;
}

TEST(ReverseTables, HoldEveryPublishedMappingFromUnicode) {
  int pages = 0;
  for (const Ucm& ucm : readAllUcm()) {
    SCOPED_TRACE(ucm.ccsid);
    ++pages;
    const ReverseTable* table = qel::codepage::findReverseTable(ucm.ccsid);
    ASSERT_NE(table, nullptr);
    std::size_t mappings = 0;
    for (const auto& [codePoint, bytes] : ucm.fromUnicode) {
      if (codePoint > 0xFFFF) continue;
      ++mappings;
      const auto unit = static_cast<char16_t>(codePoint);
      ASSERT_TRUE(qel::codepage::hasMapping(*table, unit)) << codePoint;
      const bool shifted = isShifting(ucm.ccsid) && bytes.size() == 2;
      ASSERT_EQ(encodeText(*table, {unit}), shifted ? "\x0E" + bytes + "\x0F" : bytes) << codePoint;
    }
    std::size_t mapped = 0;
    for (std::uint32_t unit = 0; unit <= 0xFFFF; ++unit) mapped += qel::codepage::hasMapping(*table, static_cast<std::uint16_t>(unit));
    EXPECT_EQ(mapped, mappings);
  }
  EXPECT_EQ(pages, 59);
  EXPECT_EQ(qel::codepage::findReverseTable(1394), nullptr);
  EXPECT_EQ(qel::codepage::findReverseTable(1208), nullptr);
}

// One call of encode(): its text, room and switches, and what it must consume and write.
struct Step {
  std::u16string text;
  std::size_t room;
  bool stopAtUnmappable;
  bool endOfText;
  std::size_t consumed;
  std::string written;
};
struct EncoderCase {
  const char* what;
  std::uint32_t ccsid;
  std::vector<Step> steps;
  std::size_t finishRoom;
  std::string finished;  // what finish() writes
};

TEST(ReverseEncoder, KeepsShiftStateRoomAndStops) {
  // 930: A is C1, U+3000 the pair 40 40, U+00A0 the single-byte substitution 3F, the
  // substitution character FE FE. 948: U+3000 is 81 40, its substitution byte 7F.
  const EncoderCase cases[] = {
      {"shift state across calls", 930,
       {{u"A\u3000", 9, false, false, 2, "\xC1\x0E\x40\x40"}, {u"\u3000" u"B", 9, false, false, 2, "\x40\x40\x0F\xC2"}},
       9, ""},
      {"text ending double-byte", 930, {{u"\u3000", 9, false, false, 1, "\x0E\x40\x40"}}, 9, "\x0F"},
      {"no room for the shift-in", 930, {{u"\u3000", 9, false, false, 1, "\x0E\x40\x40"}}, 0, ""},
      {"a pair needs room for its shift-out", 930, {{u"A\u3000", 3, false, false, 1, "\xC1"}}, 9, ""},
      {"high surrogate waits for its partner", 930,
       {{u"A\xD800", 9, false, false, 1, "\xC1"}, {u"\xD800\xDC00", 9, false, false, 2, "\x0E\xFE\xFE"}}, 9, "\x0F"},
      {"lone high surrogate ending the text", 930, {{u"\xD800", 9, false, true, 1, "\x0E\xFE\xFE"}}, 9, "\x0F"},
      {"lone low surrogate", 37, {{u"\xDC00" u"A", 9, false, false, 2, "\x3F\xC1"}}, 9, ""},
      {"stop before a character without mapping", 930, {{u"A\u00A0" u"B", 9, true, false, 1, "\xC1"}}, 9, ""},
      {"substitution byte of the mixed page", 930, {{u"\u00A0" u"B", 9, false, false, 2, "\x3F\xC2"}}, 9, ""},
      {"ignorable code point left out", 930, {{u"A\u200B" u"B\U000E0001", 9, false, false, 5, "\xC1\xC2"}}, 9, ""},
      {"ASCII-based mixed page", 948, {{u"A\u3000\u00A0", 9, false, false, 3, "\x41\x81\x40\x7F"}}, 9, ""},
      {"surrogate pair on a single-byte page", 37, {{u"A\U0001F600", 9, false, false, 3, "\xC1\x3F"}}, 9, ""},
      {"double-byte-only EBCDIC page", 4930, {{u"\u3000\u4E00", 9, false, false, 2, "\x0E\x40\x40\x5F\xA8"}}, 9, "\x0F"},
  };
  for (const EncoderCase& test : cases) {
    SCOPED_TRACE(test.what);
    ReverseEncoder encoder(*qel::codepage::findReverseTable(test.ccsid));
    for (const Step& step : test.steps) {
      const std::string source = bytesOf(step.text);
      std::string target(step.room, '\0');
      std::size_t written = 99;
      EXPECT_EQ(encoder.encode(source.data(), step.text.size(), target.data(), step.room, written, step.stopAtUnmappable,
                               step.endOfText),
                step.consumed);
      EXPECT_EQ(hex(target.substr(0, written)), hex(step.written));
    }
    std::string last(test.finishRoom, '\0');
    EXPECT_EQ(hex(last.substr(0, encoder.finish(last.data(), last.size()))), hex(test.finished));
    EXPECT_EQ(encoder.isShiftedOut(), test.finishRoom == 0);
  }
}

// 4930 has no ICU converter, so the converters take the built-in table on every build.
TEST(ReverseTables, ServeTheConvertersWhereIcuHasNoConverter) {
  const QelClUnicode2CodePageConverter converter(QelClCCSID("4930"));
  ASSERT_TRUE(converter.isSupported());
  EXPECT_FALSE(converter.requiresExternalICUData());
  const std::string source = bytesOf(u"\u3000\u4E00");
  char target[8];
  EXPECT_EQ(converter.convertBytes(target, 8, source.data(), 4), 6u);
  EXPECT_EQ(hex(std::string(target, 6)), hex("\x0E\x40\x40\x5F\xA8\x0F"));
  expectError(converter);
  // Five bytes would hold both pairs but not the closing shift-in: the text stops after one.
  const char* position = source.data();
  EXPECT_EQ(converter.convertBytes(target, 5, &position, 4), 4u);
  EXPECT_EQ(hex(std::string(target, 4)), hex("\x0E\x40\x40\x0F"));
  EXPECT_EQ(position, source.data() + 2);
  expectError(converter, CPCONVERTER_TOO_BIG, QelEnErrorClass::DATA_OUT_OF_BOUNDS);
}

#ifndef _WIN32
// Every unit but the surrogates in one text, then a surrogate pair and surrogates alone
// (before a letter, after one, and at the end of the text).
std::u16string everyUnit() {
  std::u16string text;
  for (std::uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    if (unit < 0xD800 || unit > 0xDFFF) text += static_cast<char16_t>(unit);
  }
  return text + u"A\U0001F600B\xD800" u"A\xDC00" u"\x3000\xDBFF\xDC00\xD800";
}

std::string icuEncode(std::uint32_t ccsid, const std::u16string& text) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_openCCSID(static_cast<int32_t>(ccsid), UCNV_IBM, &status);
  if (U_FAILURE(status)) return "none";
  ucnv_setFallback(converter, true);
  std::string target(3 * text.size() + 1, '\0');
  char* end = target.data();
  const UChar* source = text.data();
  ucnv_fromUnicode(converter, &end, target.data() + target.size(), &source, source + text.size(), nullptr, true,
                   &status);
  ucnv_close(converter);
  EXPECT_FALSE(U_FAILURE(status)) << u_errorName(status);
  target.resize(static_cast<std::size_t>(end - target.data()));
  return target;
}

TEST(ReverseTables, WriteWhatIcuWrites) {
  const std::u16string text = everyUnit();
  std::vector<std::uint32_t> compared;
  for (const Ucm& ucm : readAllUcm()) {
    // For 819 ICU opens its ISO 8859-1 algorithm, without the published fallbacks (U+0110
    // to D0, ...); the converters take the library's own algorithm for 819 anyway.
    if (ucm.ccsid == 819) continue;
    const std::string icu = icuEncode(ucm.ccsid, text);
    if (icu == "none") continue;  // this ICU has no converter for the page
    compared.push_back(ucm.ccsid);
    const std::string ours = encodeText(*qel::codepage::findReverseTable(ucm.ccsid), text);
    const auto differ = std::mismatch(ours.begin(), ours.end(), icu.begin(), icu.end());
    if (differ.first == ours.end() && differ.second == icu.end()) continue;
    const auto at = static_cast<std::size_t>(differ.first - ours.begin());
    const std::size_t from = at < 8 ? 0 : at - 8;
    ADD_FAILURE() << "CCSID " << ucm.ccsid << " differs from ICU at byte " << at << ": ours "
                  << hex(ours.substr(from, 16)) << "| ICU " << hex(icu.substr(from, 16));
  }
  EXPECT_GE(compared.size(), 30u);
}
#endif

}  // namespace
