#include "platform/platform.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

std::uint32_t qel::platform::currentProcessId() { return static_cast<std::uint32_t>(getpid()); }

namespace {
// The kernel's id of each thread, asked once: every trace record carries it. A forked
// child's only thread is a new one, so the fork clears the forking thread's copy.
thread_local std::uint32_t t_threadId = 0;
[[maybe_unused]] const int g_forkHandler = pthread_atfork(nullptr, nullptr, [] { t_threadId = 0; });
}  // namespace

// The kernel's id of the thread, as ps and /proc show it.
std::uint32_t qel::platform::currentThreadId() {
  if (t_threadId == 0) t_threadId = static_cast<std::uint32_t>(syscall(SYS_gettid));
  return t_threadId;
}

namespace {
std::uint64_t milliseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}
}  // namespace

// Time since boot, suspended time included as on Windows, where the host has such a clock.
std::uint32_t qel::platform::tickCount() {
#if defined(CLOCK_BOOTTIME)
  return static_cast<std::uint32_t>(milliseconds(CLOCK_BOOTTIME));
#else
  return static_cast<std::uint32_t>(milliseconds(CLOCK_MONOTONIC));
#endif
}

double qel::platform::wallClockSeconds() {
  const std::uint64_t now = milliseconds(CLOCK_REALTIME);
  return static_cast<double>(now / 1000u) + static_cast<double>(now % 1000u) * 0.001;
}

void qel::platform::sleepMilliseconds(std::uint32_t ms) {
  timespec rest{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}
