// A trace point against spdlog logging the same message: disabled, into the ring
// only, with autosave to a file on tmpfs, and with the ring in a durable ring file
// there; spdlog to a null sink, synchronous and asynchronous. Besides, what setting an
// autosaving instance up and down costs with crash save and without.
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

enum class Saving { none, autosave, durable };

// The key's variables for the saving asked for, and no trace file yet.
void setVariables(Saving saving, bool crashSave = true) {
  QelClEnvironmentVariable("QELBENCH_TRACE_ACTIVE", "on");
  QelClEnvironmentVariable("QELBENCH_TRACE_AUTOSAVE", saving != Saving::none ? "on" : "");
  QelClEnvironmentVariable("QELBENCH_TRACE_DURABLE", saving == Saving::durable ? "on" : "");
  QelClEnvironmentVariable("QELBENCH_TRACE_CRASHSAVE", crashSave ? "" : "off");
  QelClEnvironmentVariable("QELBENCH_TRACE_FILE", kFile);
  std::remove(kFile);
}

// An enabled instance with the given saving, deleted afterwards.
class TraceSession {
public:
  explicit TraceSession(Saving saving) {
    setVariables(saving);
    qelTraceCreateInstance(kKey, nullptr);
  }
  ~TraceSession() {
    qelTraceDeleteInstance();
    std::remove(kFile);
  }
};

// Both sides record the same message and value; each round hands them to
// benchmark::DoNotOptimize, as constants, so that nothing is hoisted out of the loop.
constexpr std::int32_t kValue = 42;

void tracePoints(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kMessage);
    benchmark::DoNotOptimize(kValue);
    QEL_TRACE(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, "bench", kMessage, &kValue, sizeof kValue);
  }
  state.SetItemsProcessed(state.iterations());
}

void TraceDisabled(benchmark::State& state) { tracePoints(state); }

void TraceDisabledFunctionTest(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kValue);
    if (qelTraceIsEnabled()) qelTraceDump(QelEnTraceDetail::LOW, 1, QelEnTraceDataType::INT32, "bench", kMessage, &kValue, 4);
    benchmark::ClobberMemory();
  }
}

void TraceIntoRing(benchmark::State& state) {
  TraceSession session(Saving::none);
  tracePoints(state);
}

void TraceAutosaveToTmpfs(benchmark::State& state) {
  TraceSession session(Saving::autosave);
  tracePoints(state);
}

void TraceDurableRingToTmpfs(benchmark::State& state) {
  TraceSession session(Saving::durable);
  tracePoints(state);
}

// Building and deleting an autosaving instance that records nothing.
void setUpAndDown(benchmark::State& state, bool crashSave) {
  setVariables(Saving::autosave, crashSave);
  for (auto _ : state) {
    qelTraceCreateInstance(kKey, nullptr);
    qelTraceDeleteInstance();
  }
  std::remove(kFile);
}

void InstanceWithCrashSave(benchmark::State& state) { setUpAndDown(state, true); }
void InstanceWithoutCrashSave(benchmark::State& state) { setUpAndDown(state, false); }

void logPoints(benchmark::State& state, spdlog::logger& logger) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kMessage);
    benchmark::DoNotOptimize(kValue);
    logger.info("{} {}", kMessage, kValue);
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
BENCHMARK(TraceDurableRingToTmpfs);
BENCHMARK(InstanceWithCrashSave);
BENCHMARK(InstanceWithoutCrashSave);
BENCHMARK(SpdlogSyncNullSink);
BENCHMARK(SpdlogAsyncNullSink);
