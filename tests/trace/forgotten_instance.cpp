// "write": traces into forgotten.trc and returns from main without deleting the trace
// instance. "check": exits 0 when the file holds every record of the write run.
#include "tests/trace/trace_support.h"

#include <cstring>
#include <iostream>

namespace {
constexpr char kFile[] = "forgotten.trc";
constexpr std::uint32_t kRecords = 1000;
}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "write") == 0) {
    std::remove(kFile);
    QelClEnvironmentVariable("QELTFORGET_TRACE_ACTIVE", "on");
    QelClEnvironmentVariable("QELTFORGET_TRACE_AUTOSAVE", "on");
    QelClEnvironmentVariable("QELTFORGET_TRACE_FILE", kFile);
    qelTraceCreateInstance("QELTFORGET", nullptr);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
      QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::UINT32, "main", "left behind", &i, sizeof i);
    }
    return 0;
  }
  bool whole = false;
  const auto records = parseRecords(readFile(kFile), &whole);
  std::uint32_t expected = 0;
  for (const auto& record : records) {
    if (record.message != "left behind" || wordAt(record.data, 0) != expected++) break;
  }
  std::cout << records.size() << " records, " << expected << " in order\n";
  std::remove(kFile);
  return whole && records.size() == kRecords && expected == kRecords ? 0 : 1;
}
