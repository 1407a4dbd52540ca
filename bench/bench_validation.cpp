// Strict UTF-8 validation of 1 MiB texts: the library's qelValidateUTF8 against ICU's
// ucnv_toUChars with a stopping callback, ICU's U8_NEXT over every code point and
// glibc's iconv to UTF-16, on ASCII-heavy prose and on mixed text (Latin, Greek,
// Cyrillic, kanji and emoji among ASCII).
#include <vrnqel43.h>

#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf8.h>

#include <string>
#include <vector>

#include "bench/iconv_pass.h"

namespace {

constexpr std::size_t kTextSize = 1 << 20;

std::string textOf(const char* const* words, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; text.size() + 16 < kTextSize; ++i) {
    text += words[(i * 7) % count];
    text += i % 11 == 10 ? '\n' : ' ';
  }
  text.resize(kTextSize, '.');  // whole words, then full stops up to 1 MiB
  return text;
}

// Mostly ASCII prose with an accented letter or a euro sign now and then.
std::string asciiHeavyText() {
  static const char* const words[] = {"the", "converter", "picks", "one", "function", "caf\xC3\xA9",
                                      "for", "its", "pair", "\xE2\x82\xAC" "5", "when", "built"};
  return textOf(words, sizeof words / sizeof words[0]);
}

// About half the bytes outside ASCII: two-, three- and four-byte sequences.
std::string mixedText() {
  static const char* const words[] = {"the", "\xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xBF\xCF\x82",
                                      "\xD0\xBC\xD0\xB8\xD1\x80", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "text",
                                      "\xF0\x9F\x98\x80", "na\xC3\xAFve", "\xE2\x82\xAC" "5", "code"};
  return textOf(words, sizeof words / sizeof words[0]);
}

const std::string& text(std::int64_t kind) {
  static const std::string texts[] = {asciiHeavyText(), mixedText()};
  return texts[kind];
}

void setBytes(benchmark::State& state, const std::string& source) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(source.size()));
}

void ValidateUtf8(benchmark::State& state) {
  const std::string& source = text(state.range(0));
  for (auto _ : state) {
    const char* const data = source.data();
    benchmark::DoNotOptimize(data);
    std::size_t offset = 0;
    if (qelValidateUTF8(data, source.size(), &offset) != TEXTFAULT_NONE) state.SkipWithError("rejected");
    benchmark::DoNotOptimize(offset);
  }
  setBytes(state, source);
}

void IcuToUCharsStop(benchmark::State& state) {
  const std::string& source = text(state.range(0));
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("UTF-8", &status);
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (U_FAILURE(status)) {
    state.SkipWithError(u_errorName(status));
    ucnv_close(converter);
    return;
  }
  std::vector<UChar> target(source.size() + 1);
  for (auto _ : state) {
    const char* const data = source.data();
    benchmark::DoNotOptimize(data);
    status = U_ZERO_ERROR;
    const int32_t units = ucnv_toUChars(converter, target.data(), static_cast<int32_t>(target.size()), data,
                                        static_cast<int32_t>(source.size()), &status);
    if (U_FAILURE(status)) state.SkipWithError(u_errorName(status));
    benchmark::DoNotOptimize(units);
    benchmark::ClobberMemory();
  }
  ucnv_close(converter);
  setBytes(state, source);
}

void IcuU8Next(benchmark::State& state) {
  const std::string& source = text(state.range(0));
  for (auto _ : state) {
    const auto* const data = reinterpret_cast<const uint8_t*>(source.data());
    benchmark::DoNotOptimize(data);
    const auto length = static_cast<int32_t>(source.size());
    int32_t at = 0;
    UChar32 point = 0;
    while (at < length && point >= 0) U8_NEXT(data, at, length, point);
    if (point < 0) state.SkipWithError("rejected");
    benchmark::DoNotOptimize(at);
  }
  setBytes(state, source);
}

void IconvToUtf16(benchmark::State& state) {
  const std::string& source = text(state.range(0));
  iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
  std::vector<char> target(2 * source.size() + 2);
  for (auto _ : state) {
    benchmark::DoNotOptimize(source.data());
    if (convertByIconv(converter, source, target) == static_cast<std::size_t>(-1)) state.SkipWithError("rejected");
    benchmark::ClobberMemory();
  }
  iconv_close(converter);
  setBytes(state, source);
}

void texts(benchmark::internal::Benchmark* benchmark) { benchmark->ArgName("text")->Arg(0)->Arg(1); }

}  // namespace

// text: 0 ASCII-heavy, 1 mixed.
BENCHMARK(ValidateUtf8)->Apply(texts);
BENCHMARK(IcuToUCharsStop)->Apply(texts);
BENCHMARK(IcuU8Next)->Apply(texts);
BENCHMARK(IconvToUtf16)->Apply(texts);
