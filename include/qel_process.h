// vrnqel43: processes, threads and time.
#ifndef VRNQEL43_QEL_PROCESS_H
#define VRNQEL43_QEL_PROCESS_H

#include "qel_base.h"

class QEL_API QelClProcessProperty {
public:
  // The calling process.
  QelClProcessProperty();
  explicit QelClProcessProperty(unsigned int processId);
  std::uint32_t getProcessId() const { return ulProcessId; }

private:
  std::uint32_t ulProcessId;
};

class QEL_API QelClThreadProperty {
public:
  // The calling thread.
  QelClThreadProperty();
  explicit QelClThreadProperty(unsigned int threadId);
  std::uint32_t getThreadId() const { return ulThreadId; }

private:
  std::uint32_t ulThreadId;
};

class QEL_API QelClTiming {
public:
  // Seconds since 1970-01-01 00:00 UTC, to the millisecond.
  static double wallClockTime();
};

// Milliseconds since the system started; wraps to 0 after about 49.7 days.
QEL_C_API std::uint32_t qelGetTimeStamp();
QEL_C_API double qelWallClockTime();
// Always 0.0.
QEL_C_API double _qelWallClockTime();

// The durations are computed in 32-bit milliseconds and wrap beyond 2^32 - 1.
QEL_C_API void qelSleepMilliSeconds(unsigned int milliseconds);
QEL_C_API void qelSleepSeconds(unsigned int seconds);
QEL_C_API void qelSleepMinutes(unsigned int minutes);
QEL_C_API void qelSleepHours(unsigned int hours);

#endif
