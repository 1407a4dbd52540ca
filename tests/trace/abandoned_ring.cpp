// A writer that ends without a word to the library, and the check of what it left.
// "durable write": traces through a durable ring and ends at once (std::_Exit; on
// Windows, terminated as by a kill), leaving its unsaved records, a cut record's front
// among them, in the ring file. "crash write": traces with autosave and calls abort(),
// whose crash save appends the unsaved records. "<kind> check": exits 0 when the trace
// file then holds every record exactly once, in order, and no ring file is left; for
// "crash" it runs the writer itself first (an abort is no test's success).
#include "tests/trace/trace_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {
constexpr char kKey[] = "QELTABANDON";
constexpr std::uint32_t kRecords = 1000;

bool hasRingFile(const std::string& file) {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(file + ".", 0) == 0 && name.size() > 5 && name.substr(name.size() - 5) == ".ring") return true;
  }
  return false;
}

void traceRecords() {
  const std::string data(97, 'd');
  for (std::uint32_t i = 0; i < kRecords; ++i) {
    std::memcpy(const_cast<char*>(data.data()), &i, sizeof i);
    qelTraceDump(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "main", "left behind", data.data(),
                 static_cast<unsigned int>(data.size()));
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const bool durable = std::strcmp(argv[1], "durable") == 0;
  const std::string file = std::string(argv[1]) + ".trc";
  KeyVariables variables(kKey, {{"ACTIVE", "on"}, {"AUTOSAVE", "on"}, {"DURABLE", durable ? "on" : ""},
                                {"BUFSIZE", "4"}, {"FILE", file}});
  if (std::strcmp(argv[2], "write") == 0) {
    std::remove(file.c_str());
    qelTraceCreateInstance(kKey, nullptr);
    traceRecords();
    if (!durable) std::abort();
#if defined(_WIN32)
    // Windows detaches the library even at _Exit, which runs its exit handler.
    QelClProcess().kill();
#endif
    std::_Exit(0);
  }
  if (!durable) {
#if defined(_WIN32)
    const std::string command = std::string("\"") + argv[0] + "\" crash write";
#else
    const std::string command = std::string("ulimit -c 0; '") + argv[0] + "' crash write 2>/dev/null";
#endif
    static_cast<void>(std::system(command.c_str()));  // it ends by abort()
  }
  const bool left = hasRingFile(file);
  const std::uint64_t saved = QelClTraceEnvironment(kKey, nullptr, false).saveAbandonedRecords();
  bool whole = false;
  const auto records = parseRecords(readFile(file), &whole);
  std::uint32_t expected = 0;
  for (const auto& record : records) {
    if (record.message != "left behind" || wordAt(record.data, 0) != expected++) break;
  }
  std::cout << (left ? "a ring file was left, " : "no ring file was left, ") << records.size() << " records, "
            << expected << " in order, " << saved << " saved by a second recovery\n";
  std::remove(file.c_str());
  return left == durable && !hasRingFile(file) && whole && saved == 0 && records.size() == kRecords &&
                 expected == kRecords
             ? 0
             : 1;
}
