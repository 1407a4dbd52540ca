// Formatting a trace file of 100 MB, written by the library itself, with the default
// format into a stream that discards the text: records per second.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

constexpr char kFile[] = "/dev/shm/qel_bench_trace_format.trc";
constexpr std::uint64_t kFileSize = 100u << 20;

class NullBuffer : public std::streambuf {
protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// Traces function entries and exits with integers, strings and bytes between them
// until the file holds 100 MB.
void writeTraceFile() {
  std::remove(kFile);
  QelClEnvironmentVariable("QELBFMT_TRACE_ACTIVE", "on");
  QelClEnvironmentVariable("QELBFMT_TRACE_AUTOSAVE", "on");
  QelClEnvironmentVariable("QELBFMT_TRACE_BUFSIZE", "1024");
  QelClEnvironmentVariable("QELBFMT_TRACE_FILE", kFile);
  qelTraceCreateInstance("QELBFMT", nullptr);
  const char bytes[] = "0123456789abcdef";
  for (std::int32_t i = 0; QelClFile(QelClFilename(kFile), nullptr).getFileSize() < kFileSize; ++i) {
    for (int n = 0; n < 10000; ++n, ++i) {
      QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::FUNCTION_ENTRY, "processOrder", "", nullptr, 0);
      QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, "processOrder", "order number", &i, 4);
      QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::CSTRING, "processOrder", "customer", "ACME Ltd", 8);
      QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::DATA, "processOrder", "payload", bytes, 16);
      QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::FUNCTION_EXIT, "processOrder", "", nullptr, 0);
    }
    qelTraceFlush();
  }
  qelTraceDeleteInstance();
  QelClEnvironmentVariable("QELBFMT_TRACE_ACTIVE", "");
}

void FormatTraceFile(benchmark::State& state) {
  writeTraceFile();
  const QelClTraceEnvironment environment("QELBFMT", nullptr, true);
  const QelClTraceFormatter formatter(environment, nullptr);
  NullBuffer nothing;
  std::ostream out(&nothing);
  for (auto _ : state) formatter.format(out);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * formatter.getRecordCount());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kFileSize));
  std::remove(kFile);
}

}  // namespace

BENCHMARK(FormatTraceFile)->Unit(benchmark::kMillisecond)->Iterations(3);
