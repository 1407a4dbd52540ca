// The built-in code-page tables against ICU: arbitrary bytes through a page's table to
// UCS-2, and arbitrary UCS-2 through its table from UCS-2, each compared with ICU's
// converter for the page where ICU has one. The first byte picks the page and the
// direction, the second where the UCS-2 text is cut in two calls of the encoder, which must
// write what one call writes. Allowed are only the library's documented differences: an
// EBCDIC next line (U+0085) read as a line feed; a byte or pair without mapping read as
// U+FFFD where ICU writes U+001A; malformed double-byte EBCDIC text (which the strict check
// rejects) read in a way of its own; 819's fallbacks, which ICU's ISO 8859-1 lacks; a
// surrogate alone after a left-out U+00AD, for which ICU may write the single-byte
// substitution.
#include <unicode/ucnv.h>
#include <vrnqel43.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "codepage/reverse_tables.h"

namespace {

constexpr std::uint32_t kPages[] = {37,  273,  274,  277,  278,  280,  284,  285,  290,  297,  420,   423,  424,  437,  500,
                                    737, 819,  833,  836,  838,  850,  852,  870,  871,  875,  891,   895,  924,  1025, 1026,
                                    1027, 1040, 1041, 1043, 1046, 1088, 1112, 1114, 1115, 1122, 1123, 1142, 1145, 1155, 1163,
                                    1250, 1252, 9048, 13121, 301, 927,  930,  939,  941,  948,  1351,  4930, 4933, 5039};

void check(bool condition) {
  if (!condition) std::abort();
}

// ICU's converter for the page with fallbacks on, or null where ICU has none.
UConverter* openIcu(std::uint32_t ccsid) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_openCCSID(static_cast<int32_t>(ccsid), UCNV_IBM, &status);
  if (U_FAILURE(status)) return nullptr;
  ucnv_setFallback(converter, true);
  return converter;
}

std::string encode(const qel::codepage::ReverseTable& table, const std::u16string& text, std::size_t cut) {
  std::string target(3 * text.size() + 1, '\0');
  qel::codepage::ReverseEncoder encoder(table);
  const auto* units = reinterpret_cast<const char*>(text.data());
  std::size_t written = 0, more = 0;
  const std::size_t first = encoder.encode(units, cut, target.data(), target.size(), written, false);
  check(first == cut || first + 1 == cut);  // all, or all but a high surrogate at the cut
  const std::size_t rest = text.size() - first;
  check(encoder.encode(units + 2 * first, rest, &target[written], target.size() - written, more, false, true) == rest);
  written += more;
  written += encoder.finish(&target[written], target.size() - written);
  check(!encoder.isShiftedOut());
  target.resize(written);
  return target;
}

void fromUnicode(std::uint32_t ccsid, const unsigned char* data, std::size_t size, std::size_t cutByte) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  const qel::codepage::ReverseTable* table = qel::codepage::findReverseTable(ccsid);
  check(table != nullptr);
  const std::string whole = encode(*table, text, text.size());
  check(encode(*table, text, text.empty() ? 0 : cutByte % (text.size() + 1)) == whole);
  const bool softHyphen = text.find(u'\u00AD') != std::u16string::npos;
  const bool surrogate = std::any_of(text.begin(), text.end(), [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; });
  if (ccsid == 819 || (softHyphen && surrogate)) return;
  UConverter* icu = openIcu(ccsid);
  if (icu == nullptr) return;
  std::string expected(3 * text.size() + 1, '\0');
  char* end = expected.data();
  const UChar* source = text.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(icu, &end, expected.data() + expected.size(), &source, source + text.size(), nullptr, true, &status);
  ucnv_close(icu);
  check(U_SUCCESS(status));
  expected.resize(static_cast<std::size_t>(end - expected.data()));
  check(whole == expected);
}

void toUnicode(std::uint32_t ccsid, const unsigned char* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  bool ebcdicDouble = false;
  if (qelGetDBCStoUCS2Table(ccsid, ebcdicDouble) != nullptr) {
    // The ASCII-based pages are read two bytes per character, unlike ICU; malformed EBCDIC
    // double-byte text is not compared.
    if (!ebcdicDouble || qelValidateDBCS(ccsid, bytes.data(), size, nullptr) != TEXTFAULT_NONE) return;
  }
  const QelClCodePage2UnicodeConverter converter(QelClCCSID(static_cast<QelEnCCSID>(ccsid)));
  std::u16string ours(size, u'\0');
  const char* position = bytes.data();
  const unsigned int written = converter.convertBytes(reinterpret_cast<char*>(&ours[0]),
                                                      static_cast<unsigned int>(2 * size), &position,
                                                      static_cast<unsigned int>(size));
  check(converter.getError().ulErrorId == 0 && position == bytes.data() + size);
  ours.resize(written / 2);
  UConverter* icu = openIcu(ccsid);
  if (icu == nullptr) return;
  std::u16string theirs(2 * size + 1, u'\0');
  UChar* end = theirs.data();
  const char* source = bytes.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(icu, &end, theirs.data() + theirs.size(), &source, source + size, nullptr, true, &status);
  ucnv_close(icu);
  check(U_SUCCESS(status));
  theirs.resize(static_cast<std::size_t>(end - theirs.data()));
  check(ours.size() == theirs.size());
  const bool ebcdic = QelClCCSID(static_cast<QelEnCCSID>(ccsid)).isEBCDIC();
  for (std::size_t i = 0; i < ours.size(); ++i) {
    const char16_t unit = ours[i], icuUnit = theirs[i];
    check(unit == icuUnit || (ebcdic && unit == 0x0A && icuUnit == 0x85) || (unit == 0xFFFD && icuUnit == 0x1A));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t ccsid = kPages[(data[0] >> 1) % (sizeof kPages / sizeof kPages[0])];
  if ((data[0] & 1) != 0) {
    fromUnicode(ccsid, data + 2, size - 2, data[1]);
  } else {
    toUnicode(ccsid, data + 2, size - 2);
  }
  return 0;
}
