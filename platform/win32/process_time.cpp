// Process and thread ids, the millisecond tick count, the wall clock, sleeping.
#include "platform/platform.h"

#include "platform/win32/windows_api.h"
#include <process.h>
#include <sys/timeb.h>

std::uint32_t qel::platform::currentProcessId() { return static_cast<std::uint32_t>(_getpid()); }

std::uint32_t qel::platform::currentThreadId() { return GetCurrentThreadId(); }

std::uint32_t qel::platform::tickCount() { return GetTickCount(); }

double qel::platform::wallClockSeconds() {
  __timeb64 now{};
  _ftime64(&now);
  return static_cast<double>(now.time) + now.millitm * 0.001;
}

void qel::platform::sleepMilliseconds(std::uint32_t ms) { Sleep(ms); }
