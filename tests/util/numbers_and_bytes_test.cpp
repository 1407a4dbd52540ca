// Tests of number and address text, byte order and hex dumps.
#include "tests/qel_test.h"

namespace {

// Converts each value into a buffer fenced with guard bytes and compares the text
// with std::to_string's; checks that the returned length matches the text and
// that nothing beyond the terminator changed.
template <typename Value>
void expectDecimal(int (*convert)(Value, char*), std::initializer_list<Value> values) {
  for (Value value : values) {
    SCOPED_TRACE(value);
    char buffer[48];
    std::memset(buffer, '#', sizeof buffer);
    const int length = convert(value, buffer + 8);
    EXPECT_EQ(std::memcmp(buffer, "########", 8), 0);
    EXPECT_EQ(static_cast<std::size_t>(length), std::strlen(buffer + 8));
    EXPECT_EQ(buffer[8 + length + 1], '#');
    EXPECT_EQ(std::string(buffer + 8, static_cast<std::size_t>(length)), std::to_string(value));
  }
}

using Convert = void (*)(void*, unsigned int);

// A copy of bytes with convert applied to its first count bytes.
std::string applied(Convert convert, std::string bytes, unsigned int count) {
  convert(&bytes[0], count);
  return bytes;
}

// What qelDump writes to a stream for count elements of data.
template <typename Element>
std::string dumped(const Element* data, unsigned int count) {
  std::ostringstream out;
  qelDump(out, data, count);
  return out.str();
}

}  // namespace

TEST(NumberText, AgreesWithTheStandardLibrary) {
  expectDecimal<int>(qelItoa, {0, 7, -10, 1000000, 2147483647, -2147483647 - 1});
  expectDecimal<long>(qelLtoa, {-2147483647L - 1, -1});
  expectDecimal<unsigned long>(qelULtoa, {4294967295UL, 0});
  expectDecimal<std::int64_t>(qelI64toa, {-1, std::numeric_limits<std::int64_t>::min(),
                                          std::numeric_limits<std::int64_t>::max()});
  expectDecimal<std::uint64_t>(qelW64toa, {18446744073709551615ULL, 10000000000ULL});
  for (std::int64_t v = -100000; v <= 100000; v += 37) expectDecimal(qelI64toa, {v * 99991});
}

TEST(ByteOrder, SwapsWholeUnitsOnly) {
  for (Convert swapping : {qelEndianConvertW16LittleToBig, qelEndianConvertW16BigToLittle,
                           qelEndianConvertW16HostToBig, qelEndianConvertW16BigToHost}) {
    EXPECT_EQ(applied(swapping, "abcdef", 5), "badcef");
    EXPECT_EQ(applied(swapping, "abcdef", 6), "badcfe");
    EXPECT_EQ(applied(swapping, "abcdef", 2), "bacdef");
    EXPECT_EQ(applied(swapping, "abcdef", 1), "abcdef");
    EXPECT_EQ(applied(swapping, "abcdef", 0), "abcdef");
  }
}

TEST(ByteOrder, HostToLittleChangesNothingOnLittleEndianHosts) {
  for (Convert keeping : {qelEndianConvertW16HostToLittle, qelEndianConvertW16LittleToHost}) {
    EXPECT_EQ(applied(keeping, "abcdef", 6), "abcdef");
  }
  unsigned short unit = 0x1234;
  qelEndianConvertW16HostToBig(&unit, 2);
  EXPECT_EQ(reinterpret_cast<unsigned char*>(&unit)[0], 0x12);
  qelEndianConvertW16BigToHost(&unit, 2);
  EXPECT_EQ(unit, 0x1234);
}

// Sixteen hex columns in two groups of eight, a bar and the characters, optionally
// behind an address; '_' fills the columns past the data, and control and high
// bytes show as dots.
TEST(HexDumpLine, ShowsTheFirstSixteenBytes) {
  const unsigned char abc[] = {0x41, 0x42, 0x0A};
  EXPECT_STREQ(QelClStrepHexDump(16, abc, 3).getAsCString(),
               "00000010: 41 42 0A __ __ __ __ __  __ __ __ __ __ __ __ __ | AB._____________");
  EXPECT_STREQ(QelClStrepHexDump(nullptr, 0).getAsCString(),
               "__ __ __ __ __ __ __ __  __ __ __ __ __ __ __ __ | ________________");
  unsigned char letters[20];
  for (unsigned i = 0; i < 20; ++i) letters[i] = static_cast<unsigned char>(0x61 + i);
  EXPECT_STREQ(QelClStrepHexDump(0xABCDEF01u, letters, 20).getAsCString(),
               "ABCDEF01: 61 62 63 64 65 66 67 68  69 6A 6B 6C 6D 6E 6F 70 | abcdefghijklmnop");
  const unsigned char mixed[] = {0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xC4, 0xFF, 0x30};
  EXPECT_STREQ(QelClStrepHexDump(mixed, 9).getAsCString(),
               "00 1F 20 7E 7F 80 C4 FF  30 __ __ __ __ __ __ __ | .. ~....0_______");
}

// One line per sixteen bytes, addressed by offset, whatever the width of the elements.
TEST(Dump, WritesOneLinePerSixteenBytesOfAnyElements) {
  unsigned char bytes[17];
  for (unsigned i = 0; i < 17; ++i) bytes[i] = static_cast<unsigned char>('A' + i);
  const unsigned short words[] = {0x4241, 0x4443, 0x4645};
  const unsigned int longs[] = {0x64636261, 0x68676665, 0x6C6B6A69, 0x706F6E6D, 0x31};
  const std::uint64_t quads[] = {0x3837363534333231ULL};
  const std::pair<std::string, std::string> cases[] = {
      {dumped(bytes, 17),
       "00000000: 41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50 | ABCDEFGHIJKLMNOP\n"
       "00000010: 51 __ __ __ __ __ __ __  __ __ __ __ __ __ __ __ | Q_______________\n"},
      {dumped(bytes, 0), ""},
      {dumped(words, 3),
       "00000000: 41 42 43 44 45 46 __ __  __ __ __ __ __ __ __ __ | ABCDEF__________\n"},
      {dumped(longs, 5),
       "00000000: 61 62 63 64 65 66 67 68  69 6A 6B 6C 6D 6E 6F 70 | abcdefghijklmnop\n"
       "00000010: 31 00 00 00 __ __ __ __  __ __ __ __ __ __ __ __ | 1...____________\n"},
      {dumped(quads, 1),
       "00000000: 31 32 33 34 35 36 37 38  __ __ __ __ __ __ __ __ | 12345678________\n"},
  };
  for (const auto& [written, expected] : cases) EXPECT_EQ(written, expected);
  EXPECT_EQ(dumped(bytes, 16).size(), 78u);
}

TEST(Dump, StandardOutputAndDebugDumps) {
  const unsigned char bytes[] = {'h', 'i'};
  const unsigned short words[] = {1};
  testing::internal::CaptureStdout();
  qelDump(bytes, 2);
  qelDebugDump("label", bytes, 2);
  qelDebugDump("label", words, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "00000000: 68 69 __ __ __ __ __ __  __ __ __ __ __ __ __ __ | hi______________\n");
}

TEST(AddressText, IsWhatTheStreamWritesForThePointer) {
  int object = 0;
  for (const void* pointer :
       {static_cast<const void*>(&object), static_cast<const void*>(nullptr)}) {
    std::ostringstream expected;
    expected << pointer;
    EXPECT_EQ(QelClStrepAddress(pointer).getAsCString(), expected.str());
  }
}
