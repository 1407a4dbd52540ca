// The 6-bit packing of a record's strings.
#include <cstring>

#include "qel_trace.h"

namespace {

const char kAlphabet[] = " ,&*:_~()<>ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr unsigned int kEscape = 63;

// Each byte's code in the alphabet, kEscape for every other byte.
struct CodeTable {
  unsigned char code[256];
  CodeTable() noexcept {
    std::memset(code, kEscape, sizeof code);
    for (unsigned int i = 0; kAlphabet[i] != '\0'; ++i) code[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
  }
};
const CodeTable kCodes;

}  // namespace

// A byte is cleared when the first bit is written into it, so that the caller's
// buffer needs no clearing and nothing behind the last bit is touched.
void QelClTraceEntry::compressWriteBits(char* bytes, unsigned int bitPosition, char value,
                                        unsigned int count) {
  const auto bits = static_cast<unsigned char>(value);
  for (unsigned int i = count; i-- > 0; ++bitPosition) {
    unsigned char& byte = reinterpret_cast<unsigned char&>(bytes[bitPosition / 8]);
    if (bitPosition % 8 == 0) byte = 0;
    if ((bits >> i & 1u) != 0) byte = static_cast<unsigned char>(byte | 0x80u >> (bitPosition % 8));
  }
}

char QelClTraceEntry::deCompressReadBits(const char* bytes, unsigned int bitPosition, unsigned int count) {
  unsigned int value = 0;
  for (unsigned int i = 0; i < count; ++i, ++bitPosition) {
    const auto byte = static_cast<unsigned char>(bytes[bitPosition / 8]);
    value = value << 1 | (byte >> (7 - bitPosition % 8) & 1u);
  }
  return static_cast<char>(value);
}

unsigned int QelClTraceEntry::compressCString(char* out, const char* text, unsigned int limit) {
  if (limit == 0) return 0;
  const unsigned int bound = 8 * (limit - 1);
  unsigned int bits = 0;
  for (const char* c = text; *c != '\0' && bits <= bound; ++c) {
    const unsigned int code = kCodes.code[static_cast<unsigned char>(*c)];
    const unsigned int needed = code == kEscape ? 14 : 6;
    if (bits + needed > 8 * limit) break;
    compressWriteBits(out, bits, static_cast<char>(code), 6);
    if (code == kEscape) compressWriteBits(out, bits + 6, *c, 8);
    bits += needed;
  }
  if (bits % 8 != 0) {
    unsigned char& last = reinterpret_cast<unsigned char&>(out[bits / 8]);
    last = static_cast<unsigned char>(last | (0xFFu >> (bits % 8)));
  }
  return (bits + 7) / 8;
}

unsigned int QelClTraceEntry::deCompressCString(char* out, const char* packed, unsigned int bytes) {
  const unsigned long total = 8ul * bytes;
  unsigned int count = 0;
  for (unsigned long position = 0; total - position >= 6;) {
    const auto code = static_cast<unsigned char>(deCompressReadBits(packed, static_cast<unsigned int>(position), 6));
    position += 6;
    if (code != kEscape) {
      out[count++] = kAlphabet[code];
    } else if (total - position >= 8) {
      out[count++] = deCompressReadBits(packed, static_cast<unsigned int>(position), 8);
      position += 8;
    } else {
      break;
    }
  }
  out[count] = '\0';
  return count;
}
