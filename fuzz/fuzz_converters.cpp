// Every conversion (built-in algorithms and tables, and ICU where the host has it) on
// arbitrary bytes and target sizes: the first byte picks the pair,
// the next two the target size; source and target are heap blocks of their exact size,
// so that any read past the source or write past the target is caught.
#include <vrnqel43.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Pair {
  std::uint32_t source, target;
};
constexpr Pair kPairs[] = {
    {13488, 13488}, {65500, 13488}, {1208, 13488}, {37, 13488},   {437, 13488}, {13488, 65500},
    {13488, 1208},  {13488, 819},   {13488, 500},  {13488, 850},  {37, 1208},   {1208, 819},
    {1252, 500},    {0, 1208},      {65501, 13488}, {1392, 1208}, {930, 13488}, {301, 13488},
    {4933, 1208},   {5039, 13488},  {943, 13488},  {13488, 37},   {13488, 930}, {939, 1208},
};

QelClCCSID ccsid(std::uint32_t number) { return QelClCCSID(static_cast<QelEnCCSID>(number)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 3) return 0;
  const Pair pair = kPairs[data[0] % (sizeof kPairs / sizeof kPairs[0])];
  const QelClCodePage2CodePageConverter converter(ccsid(pair.source), ccsid(pair.target));
  const auto sourceSize = static_cast<unsigned int>(size - 3);
  std::vector<char> source(data + 3, data + size);
  const auto targetSize = static_cast<unsigned int>(data[1] | data[2] << 8);
  std::unique_ptr<char[]> target(new char[targetSize]);
  const char* position = source.data();
  const unsigned int written = converter.convertBytes(target.get(), targetSize, &position, sourceSize);
  if (position < source.data() || position > source.data() + sourceSize) std::abort();
  if (written > targetSize) std::abort();
  return 0;
}
