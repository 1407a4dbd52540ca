#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

// Runs a conversion into a buffer fenced with guard bytes; checks that the
// returned length matches the text and that nothing beyond the terminator changed.
template <typename Convert>
std::string converted(Convert convert) {
  char buffer[48];
  std::memset(buffer, '#', sizeof buffer);
  const int length = convert(buffer + 8);
  EXPECT_EQ(std::memcmp(buffer, "########", 8), 0);
  EXPECT_EQ(static_cast<std::size_t>(length), std::strlen(buffer + 8));
  EXPECT_EQ(buffer[8 + length + 1], '#');
  return std::string(buffer + 8, static_cast<std::size_t>(length));
}

}  // namespace

TEST(NumberText, SignedThirtyTwoBit) {
  EXPECT_EQ(converted([](char* b) { return qelItoa(0, b); }), "0");
  EXPECT_EQ(converted([](char* b) { return qelItoa(7, b); }), "7");
  EXPECT_EQ(converted([](char* b) { return qelItoa(-10, b); }), "-10");
  EXPECT_EQ(converted([](char* b) { return qelItoa(1000000, b); }), "1000000");
  EXPECT_EQ(converted([](char* b) { return qelItoa(2147483647, b); }), "2147483647");
  EXPECT_EQ(converted([](char* b) { return qelItoa(-2147483647 - 1, b); }), "-2147483648");
  EXPECT_EQ(converted([](char* b) { return qelLtoa(-2147483647L - 1, b); }), "-2147483648");
  EXPECT_EQ(converted([](char* b) { return qelLtoa(-1, b); }), "-1");
}

TEST(NumberText, UnsignedAndSixtyFourBit) {
  EXPECT_EQ(converted([](char* b) { return qelULtoa(4294967295UL, b); }), "4294967295");
  EXPECT_EQ(converted([](char* b) { return qelULtoa(0, b); }), "0");
  EXPECT_EQ(converted([](char* b) { return qelW64toa(18446744073709551615ULL, b); }),
            "18446744073709551615");
  EXPECT_EQ(converted([](char* b) { return qelI64toa(-1, b); }), "-1");
  EXPECT_EQ(converted([](char* b) { return qelI64toa(std::numeric_limits<std::int64_t>::min(), b); }),
            "-9223372036854775808");
  EXPECT_EQ(converted([](char* b) { return qelI64toa(std::numeric_limits<std::int64_t>::max(), b); }),
            "9223372036854775807");
  EXPECT_EQ(converted([](char* b) { return qelW64toa(10000000000ULL, b); }), "10000000000");
}

TEST(NumberText, AgreesWithTheStandardLibrary) {
  for (std::int64_t v = -100000; v <= 100000; v += 37) {
    EXPECT_EQ(converted([v](char* b) { return qelI64toa(v * 99991, b); }), std::to_string(v * 99991));
  }
}
