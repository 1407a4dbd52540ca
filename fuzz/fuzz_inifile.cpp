// INI text through the parser, the model's changes and the writer: whatever the
// bytes, no read or write leaves the fixed buffers and every text stays terminated.
// Input: a flags byte (bit 0: continuation lines allowed), then the text.
#include <vrnqel43.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

bool goOn(const _QelStError&, unsigned int line, void*) { return line % 7 != 0; }

// Reads every text of the model, so that a missing terminator is caught.
std::size_t walk(const QelClIniFile& file) {
  std::size_t characters = 0;
  for (QelClIniFileSectionCursor sections(file); sections.isValid(); sections.setToNext()) {
    characters += std::strlen(sections.getSection());
    for (QelClIniFileOptionCursor options(sections); options.isValid(); options.setToNext()) {
      characters += std::strlen(options.getOption()) + std::strlen(options.getValue()) +
                    std::strlen(options.getComment());
    }
  }
  return characters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size == 0) return 0;
  const bool continuation = (data[0] & 1u) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  QelClIniFileSave file{QelClFilename("/dev/null")};
  if ((data[0] & 2u) != 0) file.setErrorHandler(goOn, nullptr);
  file.loadFromCString(text.c_str(), continuation);
  walk(file);
  // Changes named by the text itself: its first section and option get the text as a
  // value, a new option of it, and are then deleted.
  QelClIniFileSectionCursor sections(file);
  if (sections.isValid()) {
    const std::string section = sections.getSection();
    QelClIniFileOptionCursor options(sections);
    if (options.isValid()) {
      const std::string option = options.getOption();
      file.setNewValue(section.c_str(), option.c_str(), text.c_str());
      file.addOption(section.c_str(), text.c_str(), text.c_str());
      walk(file);
      file.deleteOption(section.c_str(), option.c_str());
    }
    file.deleteSection(section.c_str());
  }
  std::ofstream nowhere("/dev/null");
  if (!file.save(nowhere) && nowhere.good()) std::abort();
  walk(file);
  return 0;
}
