// The stream converter on arbitrary bytes: converted in two or three pieces cut where the
// input says, it gives the output, fault and offset of converting it whole; lenient, it
// gives what the one-shot converter gives for the whole. The first byte picks the pair,
// the second the mode, the next four the cuts.
#include <vrnqel43.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Pair {
  std::uint32_t source, target;
};
constexpr Pair kPairs[] = {
    {1208, 13488}, {13488, 1208}, {65500, 1208}, {1208, 1208}, {37, 1208},   {1208, 37},   {1208, 500},
    {850, 1208},   {1208, 819},   {930, 1208},   {939, 13488}, {1208, 930},  {1208, 939},  {301, 1208},
    {5039, 1208},  {4933, 1208},  {943, 1208},   {1208, 943},  {1392, 1208}, {1208, 1252}, {13488, 4930},
};

QelClCCSID ccsid(std::uint32_t number) { return QelClCCSID(static_cast<QelEnCCSID>(number)); }

struct Result {
  std::string output;
  QelEnTextFault fault = TEXTFAULT_NONE;
  std::uint64_t offset = 0;
};

Result streamed(QelClStreamConverter& converter, const std::string& text, const std::vector<std::size_t>& ends) {
  converter.reset();
  Result result;
  std::size_t from = 0;
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const bool ok = converter.convert(text.data() + from, ends[i] - from, i + 1 == ends.size());
    result.output.append(converter.getOutput(), converter.getOutputSize());
    if (!ok) {
      result.fault = converter.getFault();
      result.offset = converter.getFaultOffset();
      break;
    }
    from = ends[i];
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 6) return 0;
  const Pair pair = kPairs[data[0] % (sizeof kPairs / sizeof kPairs[0])];
  const auto mode = static_cast<QelEnConversionMode>(data[1] % 3);
  const std::string text(reinterpret_cast<const char*>(data) + 6, size - 6);
  std::size_t first = static_cast<std::size_t>(data[2] | data[3] << 8) % (text.size() + 1);
  std::size_t second = static_cast<std::size_t>(data[4] | data[5] << 8) % (text.size() + 1);
  if (second < first) std::swap(first, second);
  QelClStreamConverter converter(ccsid(pair.source), ccsid(pair.target), mode);
  if (!converter.isSupported()) return 0;
  const Result whole = streamed(converter, text, {text.size()});
  const Result pieces = streamed(converter, text, {first, second, text.size()});
  if (pieces.output != whole.output || pieces.fault != whole.fault || pieces.offset != whole.offset) std::abort();
  if (whole.fault != TEXTFAULT_NONE && whole.offset > text.size()) std::abort();
  if (mode == CONVERSION_LENIENT) {
    const QelClCodePage2CodePageConverter oneShot(ccsid(pair.source), ccsid(pair.target));
    std::string target(4 * text.size() + 16, '\0');
    target.resize(oneShot.convertBytes(&target[0], static_cast<unsigned int>(target.size()), text.data(),
                                       static_cast<unsigned int>(text.size())));
    if (target != whole.output) std::abort();
  }
  return 0;
}
