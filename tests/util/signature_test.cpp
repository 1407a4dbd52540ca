// Tests of MD5 signatures.
#include "tests/qel_test.h"

namespace {

std::string hexSignature(const void* data, unsigned long length) {
  char hex[33];
  QelClSignature(data, length).getDigestAsHex(hex);
  return hex;
}

std::string hexSignature(const std::string& text) {
  return hexSignature(text.data(), static_cast<unsigned long>(text.size()));
}

}  // namespace

// The test suite of RFC 1321, and a million bytes that span many blocks.
TEST(Signature, RfcTestSuite) {
  EXPECT_EQ(hexSignature(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(hexSignature(nullptr, 0), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(hexSignature("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(hexSignature("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(hexSignature("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(hexSignature("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(hexSignature("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(hexSignature("1234567890123456789012345678901234567890"
                         "1234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
  EXPECT_EQ(hexSignature(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Signature, DigestIsTakenAtConstruction) {
  char text[] = "abc";
  const QelClSignature signature(text, 3);
  text[0] = 'x';
  const unsigned char expected[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                      0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};
  EXPECT_EQ(std::memcmp(signature.getDigest(), expected, 16), 0);
  EXPECT_EQ(signature.getData(), text);
  EXPECT_EQ(signature.getLength(), 3u);

  char hex[34];
  std::memset(hex, '#', sizeof hex);
  signature.getDigestAsHex(hex);
  EXPECT_EQ(std::string(hex), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(hex[33], '#');
}
