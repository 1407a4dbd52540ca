// Process and thread ids, the millisecond tick count, the wall clock, sleeping.
#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <initializer_list>
#include <dlfcn.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

std::uint32_t qel::platform::currentProcessId() { return static_cast<std::uint32_t>(getpid()); }

namespace {
// The kernel's id of each thread, asked once: every trace record carries it. A forked
// child's only thread is a new one, so the fork clears the forking thread's copy.
// Initial-exec: read at a fixed offset from the thread pointer, with no lookup call.
thread_local std::uint32_t t_threadId __attribute__((tls_model("initial-exec"))) = 0;
[[maybe_unused]] const int g_forkHandler = pthread_atfork(nullptr, nullptr, [] { t_threadId = 0; });
}  // namespace

// The kernel's id of the thread, as ps and /proc show it.
std::uint32_t qel::platform::currentThreadId() {
  if (t_threadId == 0) t_threadId = static_cast<std::uint32_t>(syscall(SYS_gettid));
  return t_threadId;
}

namespace {
using ClockRead = int (*)(clockid_t, timespec*);

// The kernel's own clock routine in the vDSO, called directly: the C library's
// clock_gettime only calls on to it, which a trace record would notice. Its name
// differs between architectures; without a vDSO the C library's call serves.
ClockRead findClockRead() {
  if (void* vdso = dlopen("linux-vdso.so.1", RTLD_LAZY | RTLD_NOLOAD)) {
    for (const char* name : {"__vdso_clock_gettime", "__kernel_clock_gettime"}) {
      if (void* routine = dlsym(vdso, name)) return reinterpret_cast<ClockRead>(routine);
    }
  }
  return clock_gettime;
}

inline std::uint64_t milliseconds(clockid_t clock) {
  static const ClockRead read = findClockRead();
  timespec now{};
  read(clock, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}
}  // namespace

#if defined(CLOCK_BOOTTIME) && defined(CLOCK_MONOTONIC_COARSE)
namespace {
// The coarse clock's tick, in milliseconds, and the precise clock's value read at the
// first call in that tick: one atomic word.
std::atomic<std::uint64_t> g_tickCache{0};

// The first call in a tick reads the precise clock; kept apart from the common path,
// whose frame it would only make larger.
[[gnu::noinline]] std::uint32_t startTick(std::uint32_t tick) {
  const auto now = static_cast<std::uint32_t>(milliseconds(CLOCK_BOOTTIME));
  g_tickCache.store(std::uint64_t{tick} << 32 | now, std::memory_order_relaxed);
  return now;
}
}  // namespace
#endif

// Time since boot, suspended time included as on Windows, where the host has such a
// clock. Like Windows' tick count it advances once per timer tick of the kernel: the
// precise clock is read at the first call in each tick (told by the cheap coarse
// clock) and its value kept for the rest of the tick, so that a trace record costs
// one cheap clock read.
std::uint32_t qel::platform::tickCount() {
#if defined(CLOCK_BOOTTIME) && defined(CLOCK_MONOTONIC_COARSE)
  const auto tick = static_cast<std::uint32_t>(milliseconds(CLOCK_MONOTONIC_COARSE));
  const std::uint64_t cached = g_tickCache.load(std::memory_order_relaxed);
  if (static_cast<std::uint32_t>(cached >> 32) == tick && cached != 0) return static_cast<std::uint32_t>(cached);
  return startTick(tick);
#elif defined(CLOCK_BOOTTIME)
  return static_cast<std::uint32_t>(milliseconds(CLOCK_BOOTTIME));
#else
  return static_cast<std::uint32_t>(milliseconds(CLOCK_MONOTONIC));
#endif
}

double qel::platform::wallClockSeconds() {
  const std::uint64_t now = milliseconds(CLOCK_REALTIME);
  // Whole seconds and milliseconds apart: a double keeps both exactly.
  return static_cast<double>(now / 1000u) + static_cast<double>(now % 1000u) * 0.001;  // NOLINT(bugprone-integer-division)
}

void qel::platform::sleepMilliseconds(std::uint32_t ms) {
  timespec rest{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}
