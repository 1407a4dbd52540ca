// A trace point against spdlog logging the same message: disabled, into the ring
// only, and with autosave to a file on tmpfs; spdlog to a null sink, synchronous and
// asynchronous.
#include <vrnqel43.h>

#include <benchmark/benchmark.h>
#include <spdlog/async.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include <cstdio>
#include <memory>

namespace {

constexpr char kKey[] = "QELBENCH";
constexpr char kMessage[] = "0123456789abcdef";  // 16 characters
constexpr char kFile[] = "/dev/shm/qel_bench_trace.trc";

// An enabled instance with the given autosave setting, deleted afterwards.
class TraceSession {
public:
  explicit TraceSession(bool autosave) {
    QelClEnvironmentVariable("QELBENCH_TRACE_ACTIVE", "on");
    QelClEnvironmentVariable("QELBENCH_TRACE_AUTOSAVE", autosave ? "on" : "");
    QelClEnvironmentVariable("QELBENCH_TRACE_FILE", kFile);
    std::remove(kFile);
    qelTraceCreateInstance(kKey, nullptr);
  }
  ~TraceSession() {
    qelTraceDeleteInstance();
    std::remove(kFile);
  }
};

void tracePoints(benchmark::State& state) {
  std::int32_t value = 42;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, "bench", kMessage, &value, sizeof value);
    ++value;
  }
  state.SetItemsProcessed(state.iterations());
}

void TraceDisabled(benchmark::State& state) { tracePoints(state); }

void TraceDisabledFunctionTest(benchmark::State& state) {
  const std::int32_t value = 42;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    if (qelTraceIsEnabled()) qelTraceDump(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, "bench", kMessage, &value, 4);
    benchmark::ClobberMemory();
  }
}

void TraceIntoRing(benchmark::State& state) {
  TraceSession session(false);
  tracePoints(state);
}

void TraceAutosaveToTmpfs(benchmark::State& state) {
  TraceSession session(true);
  tracePoints(state);
}

void logPoints(benchmark::State& state, spdlog::logger& logger) {
  std::int32_t value = 42;
  for (auto _ : state) {
    logger.info("{} {}", kMessage, value);
    ++value;
  }
  state.SetItemsProcessed(state.iterations());
}

void SpdlogSyncNullSink(benchmark::State& state) {
  spdlog::logger logger("sync", std::make_shared<spdlog::sinks::null_sink_mt>());
  logPoints(state, logger);
}

void SpdlogAsyncNullSink(benchmark::State& state) {
  auto pool = std::make_shared<spdlog::details::thread_pool>(8192, 1);
  auto logger = std::make_shared<spdlog::async_logger>("async", std::make_shared<spdlog::sinks::null_sink_mt>(), pool);
  logPoints(state, *logger);
}

}  // namespace

BENCHMARK(TraceDisabled);
BENCHMARK(TraceDisabledFunctionTest);
BENCHMARK(TraceIntoRing);
BENCHMARK(TraceAutosaveToTmpfs);
BENCHMARK(SpdlogSyncNullSink);
BENCHMARK(SpdlogAsyncNullSink);
