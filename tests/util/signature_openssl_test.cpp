// The library's MD5 against OpenSSL's on inputs of every length up to 1000 bytes,
// so that every position of the padding and of the block boundaries is met.
#include "tests/qel_test.h"

#include <openssl/evp.h>

TEST(SignatureOpenSsl, AgreesOnRandomInputsOfEveryLength) {
  std::mt19937 random(20240615);
  std::vector<unsigned char> data(1000);
  for (std::size_t length = 0; length <= data.size(); ++length) {
    for (std::size_t i = 0; i < length; ++i) data[i] = static_cast<unsigned char>(random());
    unsigned char expected[EVP_MAX_MD_SIZE];
    unsigned int expectedLength = 0;
    ASSERT_EQ(EVP_Digest(data.data(), length, expected, &expectedLength, EVP_md5(), nullptr), 1);
    ASSERT_EQ(expectedLength, 16u);
    const QelClSignature signature(data.data(), length);
    EXPECT_EQ(std::memcmp(signature.getDigest(), expected, 16), 0) << "length " << length;
  }
}
