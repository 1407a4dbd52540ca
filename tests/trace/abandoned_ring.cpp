// "write": traces into abandoned.trc through a durable ring and ends without a word to
// the library (std::_Exit), leaving its unsaved records, a cut record's front among
// them, in the ring file. "check": exits 0 when an autosaving environment built after
// it appended every record exactly once, in order, and removed the ring file.
#include "trace_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {
constexpr char kKey[] = "QELTABANDON";
constexpr char kFile[] = "abandoned.trc";
constexpr std::uint32_t kRecords = 1000;

bool hasRingFile() {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(std::string(kFile) + ".", 0) == 0 && name.size() > 5 && name.substr(name.size() - 5) == ".ring") {
      return true;
    }
  }
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"DURABLE", "on"}, {"BUFSIZE", "4"},
                                {"FILE", kFile}});
  if (argc == 2 && std::strcmp(argv[1], "write") == 0) {
    std::remove(kFile);
    qelTraceCreateInstance(kKey, nullptr);
    const std::string data(97, 'd');
    for (std::uint32_t i = 0; i < kRecords; ++i) {
      std::memcpy(const_cast<char*>(data.data()), &i, sizeof i);
      qelTraceDump(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "main", "left in the ring", data.data(),
                   static_cast<unsigned int>(data.size()));
    }
    std::cout.flush();
    std::_Exit(0);
  }
  const bool left = hasRingFile();
  const std::uint64_t saved = QelClTraceEnvironment(kKey, nullptr, false).saveAbandonedRecords();
  bool whole = false;
  const auto records = parseRecords(readFile(kFile), &whole);
  std::uint32_t expected = 0;
  for (const auto& record : records) {
    if (record.message != "left in the ring" || wordAt(record.data, 0) != expected++) break;
  }
  std::cout << (left ? "a ring file was left, " : "no ring file was left, ") << records.size() << " records, "
            << expected << " in order, " << saved << " saved by a second recovery\n";
  std::remove(kFile);
  return left && !hasRingFile() && whole && saved == 0 && records.size() == kRecords && expected == kRecords ? 0 : 1;
}
