#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

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
