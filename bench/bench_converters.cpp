// Code-page conversion of 1 MiB texts, the library's built-in paths against ICU's
// ucnv_convertEx and glibc's iconv on the same bytes: UTF-8 to UCS-2 and back on
// ASCII-heavy text, CCSID 37 (EBCDIC) to UCS-2, CCSID 930 (EBCDIC with shifted
// double-byte runs) to UCS-2, and UCS-2 to CCSID 500 (EBCDIC, through the built-in
// two-level table); the stream converter on each beside them.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <string>
#include <vector>

#include "bench/iconv_pass.h"

namespace {

constexpr std::size_t kTextSize = 1 << 20;

// Mostly ASCII prose with an accented letter or a euro sign now and then.
std::string utf8Text() {
  static const char* const words[] = {"the", "converter", "picks", "one", "function", "caf\xC3\xA9",
                                      "for", "its", "pair", "\xE2\x82\xAC" "5", "when", "built"};
  std::string text;
  for (std::size_t i = 0; text.size() < kTextSize; ++i) {
    text += words[(i * 7) % (sizeof words / sizeof words[0])];
    text += i % 11 == 10 ? '\n' : ' ';
  }
  return text;
}

// CCSID 37: letters, digits and blanks, lines ended by NL (hex 15).
std::string ebcdicText() {
  static const unsigned char line[] = {0xC8, 0x85, 0x93, 0x93, 0x96, 0x6B, 0x40, 0xA6, 0x96, 0x99, 0x93, 0x84,
                                       0x40, 0xF1, 0xF2, 0xF3, 0x40, 0xC1, 0xC2, 0xC3, 0x15};
  std::string text;
  while (text.size() < kTextSize) text.append(reinterpret_cast<const char*>(line), sizeof line);
  return text;
}

// CCSID 930: single-byte words and shifted runs of kanji.
std::string mixedText() {
  static const unsigned char line[] = {0xC1, 0xC2, 0x40, 0x0E, 0x45, 0x41, 0x45, 0x42, 0x45, 0x43,
                                       0x0F, 0x40, 0xF1, 0xF2, 0x0E, 0x46, 0x41, 0x46, 0x42, 0x0F, 0x15};
  std::string text;
  while (text.size() < kTextSize) text.append(reinterpret_cast<const char*>(line), sizeof line);
  return text;
}

std::string ucs2Text() {
  const std::string utf8 = utf8Text();
  const QelClCodePage2UnicodeConverter converter(CCSID_UTF8);
  std::string ucs2(2 * utf8.size(), '\0');
  ucs2.resize(converter.convertBytes(ucs2.data(), static_cast<unsigned int>(ucs2.size()), utf8.data(),
                                     static_cast<unsigned int>(utf8.size())));
  return ucs2;
}

// The EBCDIC text's characters in UCS-2: letters, digits, blanks and line feeds, which
// CCSID 500 has as CCSID 37 does.
std::string ebcdicUcs2Text() {
  const std::string ebcdic = ebcdicText();
  const QelClCodePage2UnicodeConverter converter(static_cast<QelEnCCSID>(37));
  std::string ucs2(2 * ebcdic.size(), '\0');
  ucs2.resize(converter.convertBytes(ucs2.data(), static_cast<unsigned int>(ucs2.size()), ebcdic.data(),
                                     static_cast<unsigned int>(ebcdic.size())));
  return ucs2;
}

const std::string& text(int kind) {
  static const std::string texts[] = {utf8Text(), ucs2Text(), ebcdicText(), mixedText(), ebcdicUcs2Text()};
  return texts[kind];
}

enum Kind { UTF8_TO_UCS2, UCS2_TO_UTF8, EBCDIC_TO_UCS2, MIXED_TO_UCS2, UCS2_TO_EBCDIC };
struct Pair {
  std::uint32_t from, to;
  const char* icuFrom;
  const char* icuTo;
  const char* iconvFrom;
  const char* iconvTo;
};
constexpr Pair kPairs[] = {
    {CCSID_UTF8, CCSID_UCS2, "UTF-8", "UTF-16LE", "UTF-8", "UCS-2LE"},
    {CCSID_UCS2, CCSID_UTF8, "UTF-16LE", "UTF-8", "UCS-2LE", "UTF-8"},
    {37, CCSID_UCS2, "ibm-37", "UTF-16LE", "IBM037", "UCS-2LE"},
    {930, CCSID_UCS2, "ibm-930", "UTF-16LE", "IBM930", "UCS-2LE"},
    {CCSID_UCS2, 500, "UTF-16LE", "ibm-500", "UCS-2LE", "IBM500"},
};

void setBytes(benchmark::State& state, const std::string& source) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}

void Library(benchmark::State& state) {
  const Pair& pair = kPairs[state.range(0)];
  const std::string& source = text(static_cast<int>(state.range(0)));
  const QelClCodePage2CodePageConverter converter(static_cast<QelEnCCSID>(pair.from), static_cast<QelEnCCSID>(pair.to));
  std::vector<char> target(4 * source.size());
  for (auto _ : state) {
    const char* const data = source.data();
    benchmark::DoNotOptimize(data);
    benchmark::DoNotOptimize(converter.convertBytes(target.data(), static_cast<unsigned int>(target.size()), data,
                                                    static_cast<unsigned int>(source.size())));
    benchmark::ClobberMemory();
  }
  setBytes(state, source);
}

// The stream converter on the same 1 MiB, handed over as one piece that ends the stream;
// mode 0 strict, 2 lenient.
void Stream(benchmark::State& state) {
  const Pair& pair = kPairs[state.range(0)];
  const std::string& source = text(static_cast<int>(state.range(0)));
  QelClStreamConverter converter(static_cast<QelEnCCSID>(pair.from), static_cast<QelEnCCSID>(pair.to),
                                 static_cast<QelEnConversionMode>(state.range(1)));
  for (auto _ : state) {
    converter.reset();
    const char* const data = source.data();
    benchmark::DoNotOptimize(data);
    if (!converter.convert(data, source.size(), true)) {
      state.SkipWithError(qelTextFaultGetText(converter.getFault()));
      break;
    }
    benchmark::DoNotOptimize(converter.getOutput());
    benchmark::ClobberMemory();
  }
  setBytes(state, source);
}

void Icu(benchmark::State& state) {
  const Pair& pair = kPairs[state.range(0)];
  const std::string& source = text(static_cast<int>(state.range(0)));
  UErrorCode status = U_ZERO_ERROR;
  UConverter* from = ucnv_open(pair.icuFrom, &status);
  UConverter* to = ucnv_open(pair.icuTo, &status);
  if (U_FAILURE(status)) {
    state.SkipWithError("ICU has no converter for the pair");
    return;
  }
  std::vector<char> target(4 * source.size());
  std::vector<UChar> pivot(4096);
  for (auto _ : state) {
    char* out = target.data();
    benchmark::DoNotOptimize(source.data());
    const char* in = source.data();
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    status = U_ZERO_ERROR;
    ucnv_convertEx(to, from, &out, target.data() + target.size(), &in, source.data() + source.size(), pivot.data(),
                   &pivotSource, &pivotTarget, pivot.data() + pivot.size(), true, true, &status);
    if (U_FAILURE(status)) {
      state.SkipWithError(u_errorName(status));
      break;
    }
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  ucnv_close(from);
  ucnv_close(to);
  setBytes(state, source);
}

void Iconv(benchmark::State& state) {
  const Pair& pair = kPairs[state.range(0)];
  const std::string& source = text(static_cast<int>(state.range(0)));
  iconv_t converter = iconv_open(pair.iconvTo, pair.iconvFrom);
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv has no converter for the pair");
    return;
  }
  std::vector<char> target(4 * source.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(source.data());
    benchmark::DoNotOptimize(convertByIconv(converter, source, target));
    benchmark::ClobberMemory();
  }
  iconv_close(converter);
  setBytes(state, source);
}

void pairs(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("pair");
  for (int kind = UTF8_TO_UCS2; kind <= UCS2_TO_EBCDIC; ++kind) benchmark->Arg(kind);
}

}  // namespace

// pair: 0 UTF-8 to UCS-2, 1 UCS-2 to UTF-8, 2 CCSID 37 to UCS-2, 3 CCSID 930 to UCS-2,
// 4 UCS-2 to CCSID 500.
BENCHMARK(Library)->Apply(pairs);
BENCHMARK(Stream)->ArgNames({"pair", "mode"})->ArgsProduct({{0, 1, 2, 3, 4}, {CONVERSION_STRICT, CONVERSION_LENIENT}});
BENCHMARK(Icu)->Apply(pairs);
BENCHMARK(Iconv)->Apply(pairs);
