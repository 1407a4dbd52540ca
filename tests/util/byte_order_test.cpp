#include <vrnqel43.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using Convert = void (*)(void*, unsigned int);

std::string applied(Convert convert, std::string bytes, unsigned int count) {
  convert(&bytes[0], count);
  return bytes;
}

}  // namespace

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
