// Trace string packing: any text packs within its limit and unpacks to the text (or,
// when the limit cut it, to its start); any packed bytes unpack within bounds.
#include <vrnqel43.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned int limit = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);  // up to its first zero
  // Exactly sized heap blocks, so that a byte out of bounds is caught.
  std::vector<char> packed(limit);
  const unsigned int bytes = QelClTraceEntry::compressCString(packed.data(), text.c_str(), limit);
  if (bytes > limit) std::abort();
  std::vector<char> decoded(8 * bytes / 6 + 1);
  const unsigned int count = QelClTraceEntry::deCompressCString(decoded.data(), packed.data(), bytes);
  if (count >= decoded.size() || std::strncmp(decoded.data(), text.c_str(), count) != 0 ||
      std::strlen(decoded.data()) != count) {
    std::abort();
  }
  if (limit == 255 && std::strlen(text.c_str()) <= 145 && count != std::strlen(text.c_str())) std::abort();

  const auto raw = static_cast<unsigned int>(size - 1);
  std::vector<char> input(data + 1, data + size);
  std::vector<char> output(8 * raw / 6 + 1);
  if (QelClTraceEntry::deCompressCString(output.data(), input.data(), raw) >= output.size()) std::abort();
  return 0;
}
