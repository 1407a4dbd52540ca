// Writes a long double-byte sample: several MiB of kana and kanji in UTF-8 without a line
// end, and the same text in CCSID 939 as the library's one-shot converter (through ICU)
// gives it, the form qelconv must produce piece by piece.
// Usage: double_byte_sample <utf-8 file> <939 file>
#include <vrnqel43.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool writeFile(const char* name, const char* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void appendUtf8(std::string& text, unsigned int character) {
  text += static_cast<char>(0xE0 | (character >> 12));
  text += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
  text += static_cast<char>(0x80 | (character & 0x3F));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  // Hiragana, katakana and the kanji for one to ten, all in the double-byte set of 939.
  std::string unit;
  for (unsigned int c = 0x3041; c <= 0x3093; ++c) appendUtf8(unit, c);
  for (unsigned int c = 0x30A1; c <= 0x30F6; ++c) appendUtf8(unit, c);
  for (unsigned int c : {0x4E00u, 0x4E8Cu, 0x4E09u, 0x56DBu, 0x4E94u, 0x516Du, 0x4E03u, 0x516Bu, 0x4E5Du, 0x5341u}) {
    appendUtf8(unit, c);
  }
  std::string text;
  while (text.size() < (std::size_t{5} << 20)) text += unit;

  const QelClCodePage2CodePageConverter converter(QelClCCSID(CCSID_UTF8), QelClCCSID(static_cast<QelEnCCSID>(939)));
  std::vector<char> ebcdic(converter.getMaximumSizeForSize(static_cast<unsigned int>(text.size())));
  const char* source = text.data();
  const unsigned int size = converter.convertBytes(ebcdic.data(), static_cast<unsigned int>(ebcdic.size()), &source,
                                                   static_cast<unsigned int>(text.size()));
  if (converter.getError().ulErrorId != NO_ERROR || source != text.data() + text.size()) {
    std::fprintf(stderr, "the one-shot conversion to 939 failed\n");
    return 1;
  }
  return writeFile(argv[1], text.data(), text.size()) && writeFile(argv[2], ebcdic.data(), size) ? 0 : 1;
}
