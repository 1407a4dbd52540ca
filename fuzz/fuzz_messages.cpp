// Message building from a string table: the first zero-separated piece of the input
// is the message text, the next ones (up to ten) its insertions. The text must
// always be terminated and never longer than the working buffer.
#include <vrnqel43.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      if (pieces.size() == 11) break;
      pieces.emplace_back();
    } else {
      pieces.back() += static_cast<char>(data[i]);
    }
  }
  const char* insertions[10] = {};
  for (std::size_t i = 1; i < pieces.size(); ++i) insertions[i - 1] = pieces[i].c_str();
  const char* const table[] = {"[QEL_MSGTAB_SIGNATURE] 3", "[FUZZ]", pieces[0].c_str()};

  QelClMessageCatalog catalog(QelClFilename("fuzz_catalog"));
  catalog.useStringTable(table, 3);
  QelClMessage message(catalog, 2, insertions);
  check(message.isFound());
  check(std::strlen(message.getText()) <= 4096);
  const QelClMessage copy(message);
  check(std::strcmp(copy.getText(), message.getText()) == 0);

  QelClMessageCatalogProxy proxy(&catalog);
  check(std::strcmp(proxy.getMessage(2, insertions), message.getText()) == 0);
  check(!QelClMessage(catalog, 3).isFound());
  return 0;
}
