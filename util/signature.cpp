// MD5 signatures of memory blocks, after the reference routines of RFC 1321.
#include "qel_util.h"

#include <algorithm>
#include <cstring>

#include "util/host_byte_order.h"

namespace {

using qel::kHostIsLittleEndian;

const unsigned char kPadding[64] = {0x80};

// The four auxiliary functions. x is the word the previous step produced: each is
// written so that as little as possible waits for it. G's two halves never share a
// bit, so adding them is the same as or-ing them, and the half without x can be
// added in early.
inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return ((y ^ z) & x) ^ z; }
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return (y & ~z) + (x & z); }
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ (y ^ z); }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

inline std::uint32_t rotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// One step of a round: a = b + ((a + f(b, c, d) + x + t) <<< s).
template <std::uint32_t (*f)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                 int s, std::uint32_t t) {
  a = b + rotateLeft(a + x + t + f(b, c, d), s);
}

}  // namespace

QelClSignature::QelClSignature(const void* data, unsigned long length)
    : pvData(data), ulLength(static_cast<std::uint32_t>(length)), aucDigest() {
  MD5_CTX context{};
  MD5Init(&context);
  // MD5Update takes 32-bit lengths: a longer block goes in pieces.
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (unsigned long rest = length; rest > 0;) {
    const auto piece = static_cast<unsigned int>(std::min<unsigned long>(rest, 0x80000000UL));
    MD5Update(&context, bytes, piece);
    bytes += piece;
    rest -= piece;
  }
  MD5Final(aucDigest, &context);
}

const unsigned char* QelClSignature::getDigest() const { return aucDigest; }

void QelClSignature::getDigestAsHex(char out[33]) const {
  static const char kHexDigits[] = "0123456789abcdef";
  for (unsigned int i = 0; i < 16; ++i) {
    out[2 * i] = kHexDigits[aucDigest[i] >> 4];
    out[2 * i + 1] = kHexDigits[aucDigest[i] & 0xF];
  }
  out[32] = '\0';
}

void QelClSignature::MD5Init(MD5_CTX* context) {
  context->count[0] = context->count[1] = 0;
  context->state[0] = 0x67452301;
  context->state[1] = 0xefcdab89;
  context->state[2] = 0x98badcfe;
  context->state[3] = 0x10325476;
}

// Processes whole 64-byte blocks straight from the input and keeps the rest in
// the context's buffer.
void QelClSignature::MD5Update(MD5_CTX* context, const unsigned char* input, unsigned int inputLen) {
  unsigned int index = (context->count[0] >> 3) & 0x3F;
  if ((context->count[0] += inputLen << 3) < (inputLen << 3)) context->count[1]++;
  context->count[1] += inputLen >> 29;

  const unsigned int partLen = 64 - index;
  unsigned int i = 0;
  if (inputLen >= partLen) {
    MD5_memcpy(&context->buffer[index], input, partLen);
    MD5Transform(context->state, context->buffer);
    for (i = partLen; i + 63 < inputLen; i += 64) MD5Transform(context->state, &input[i]);
    index = 0;
  }
  MD5_memcpy(&context->buffer[index], &input[i], inputLen - i);
}

// Pads to 56 bytes mod 64, appends the bit length and writes out the state; the
// context is cleared so that nothing of the input stays behind.
void QelClSignature::MD5Final(unsigned char digest[16], MD5_CTX* context) {
  unsigned char bits[8];
  Encode(bits, context->count, 8);
  const unsigned int index = (context->count[0] >> 3) & 0x3F;
  const unsigned int padLen = index < 56 ? 56 - index : 120 - index;
  MD5Update(context, kPadding, padLen);
  MD5Update(context, bits, 8);
  Encode(digest, context->state, 16);
  MD5_memset(reinterpret_cast<unsigned char*>(context), 0, sizeof *context);
}

void QelClSignature::MD5Transform(std::uint32_t state[4], const unsigned char block[64]) {
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  std::uint32_t x[16];
  Decode(x, block, 64);

  // Round 1
  step<F>(a, b, c, d, x[0], 7, 0xd76aa478);
  step<F>(d, a, b, c, x[1], 12, 0xe8c7b756);
  step<F>(c, d, a, b, x[2], 17, 0x242070db);
  step<F>(b, c, d, a, x[3], 22, 0xc1bdceee);
  step<F>(a, b, c, d, x[4], 7, 0xf57c0faf);
  step<F>(d, a, b, c, x[5], 12, 0x4787c62a);
  step<F>(c, d, a, b, x[6], 17, 0xa8304613);
  step<F>(b, c, d, a, x[7], 22, 0xfd469501);
  step<F>(a, b, c, d, x[8], 7, 0x698098d8);
  step<F>(d, a, b, c, x[9], 12, 0x8b44f7af);
  step<F>(c, d, a, b, x[10], 17, 0xffff5bb1);
  step<F>(b, c, d, a, x[11], 22, 0x895cd7be);
  step<F>(a, b, c, d, x[12], 7, 0x6b901122);
  step<F>(d, a, b, c, x[13], 12, 0xfd987193);
  step<F>(c, d, a, b, x[14], 17, 0xa679438e);
  step<F>(b, c, d, a, x[15], 22, 0x49b40821);

  // Round 2
  step<G>(a, b, c, d, x[1], 5, 0xf61e2562);
  step<G>(d, a, b, c, x[6], 9, 0xc040b340);
  step<G>(c, d, a, b, x[11], 14, 0x265e5a51);
  step<G>(b, c, d, a, x[0], 20, 0xe9b6c7aa);
  step<G>(a, b, c, d, x[5], 5, 0xd62f105d);
  step<G>(d, a, b, c, x[10], 9, 0x02441453);
  step<G>(c, d, a, b, x[15], 14, 0xd8a1e681);
  step<G>(b, c, d, a, x[4], 20, 0xe7d3fbc8);
  step<G>(a, b, c, d, x[9], 5, 0x21e1cde6);
  step<G>(d, a, b, c, x[14], 9, 0xc33707d6);
  step<G>(c, d, a, b, x[3], 14, 0xf4d50d87);
  step<G>(b, c, d, a, x[8], 20, 0x455a14ed);
  step<G>(a, b, c, d, x[13], 5, 0xa9e3e905);
  step<G>(d, a, b, c, x[2], 9, 0xfcefa3f8);
  step<G>(c, d, a, b, x[7], 14, 0x676f02d9);
  step<G>(b, c, d, a, x[12], 20, 0x8d2a4c8a);

  // Round 3
  step<H>(a, b, c, d, x[5], 4, 0xfffa3942);
  step<H>(d, a, b, c, x[8], 11, 0x8771f681);
  step<H>(c, d, a, b, x[11], 16, 0x6d9d6122);
  step<H>(b, c, d, a, x[14], 23, 0xfde5380c);
  step<H>(a, b, c, d, x[1], 4, 0xa4beea44);
  step<H>(d, a, b, c, x[4], 11, 0x4bdecfa9);
  step<H>(c, d, a, b, x[7], 16, 0xf6bb4b60);
  step<H>(b, c, d, a, x[10], 23, 0xbebfbc70);
  step<H>(a, b, c, d, x[13], 4, 0x289b7ec6);
  step<H>(d, a, b, c, x[0], 11, 0xeaa127fa);
  step<H>(c, d, a, b, x[3], 16, 0xd4ef3085);
  step<H>(b, c, d, a, x[6], 23, 0x04881d05);
  step<H>(a, b, c, d, x[9], 4, 0xd9d4d039);
  step<H>(d, a, b, c, x[12], 11, 0xe6db99e5);
  step<H>(c, d, a, b, x[15], 16, 0x1fa27cf8);
  step<H>(b, c, d, a, x[2], 23, 0xc4ac5665);

  // Round 4
  step<I>(a, b, c, d, x[0], 6, 0xf4292244);
  step<I>(d, a, b, c, x[7], 10, 0x432aff97);
  step<I>(c, d, a, b, x[14], 15, 0xab9423a7);
  step<I>(b, c, d, a, x[5], 21, 0xfc93a039);
  step<I>(a, b, c, d, x[12], 6, 0x655b59c3);
  step<I>(d, a, b, c, x[3], 10, 0x8f0ccc92);
  step<I>(c, d, a, b, x[10], 15, 0xffeff47d);
  step<I>(b, c, d, a, x[1], 21, 0x85845dd1);
  step<I>(a, b, c, d, x[8], 6, 0x6fa87e4f);
  step<I>(d, a, b, c, x[15], 10, 0xfe2ce6e0);
  step<I>(c, d, a, b, x[6], 15, 0xa3014314);
  step<I>(b, c, d, a, x[13], 21, 0x4e0811a1);
  step<I>(a, b, c, d, x[4], 6, 0xf7537e82);
  step<I>(d, a, b, c, x[11], 10, 0xbd3af235);
  step<I>(c, d, a, b, x[2], 15, 0x2ad7d2bb);
  step<I>(b, c, d, a, x[9], 21, 0xeb86d391);

  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
}

// Words to bytes, little-endian; len is a multiple of 4.
void QelClSignature::Encode(unsigned char* output, const std::uint32_t* input, unsigned int len) {
  if (kHostIsLittleEndian) {
    std::memcpy(output, input, len);
    return;
  }
  for (unsigned int i = 0, j = 0; j < len; ++i, j += 4) {
    output[j] = static_cast<unsigned char>(input[i]);
    output[j + 1] = static_cast<unsigned char>(input[i] >> 8);
    output[j + 2] = static_cast<unsigned char>(input[i] >> 16);
    output[j + 3] = static_cast<unsigned char>(input[i] >> 24);
  }
}

// Bytes to words, little-endian; len is a multiple of 4. On little-endian hosts
// the bytes already are the words.
void QelClSignature::Decode(std::uint32_t* output, const unsigned char* input, unsigned int len) {
  if (kHostIsLittleEndian) {
    std::memcpy(output, input, len);
    return;
  }
  for (unsigned int i = 0, j = 0; j < len; ++i, j += 4) {
    output[i] = std::uint32_t{input[j]} | (std::uint32_t{input[j + 1]} << 8) |
                (std::uint32_t{input[j + 2]} << 16) | (std::uint32_t{input[j + 3]} << 24);
  }
}

void QelClSignature::MD5_memcpy(unsigned char* output, const unsigned char* input, unsigned int len) {
  if (len != 0) std::memcpy(output, input, len);
}

void QelClSignature::MD5_memset(unsigned char* output, int value, unsigned int len) {
  std::memset(output, value, len);
}
