// Clocks and sleeping.
#include "qel_process.h"

#include "platform/platform.h"

std::uint32_t qelGetTimeStamp() { return qel::platform::tickCount(); }

double QelClTiming::wallClockTime() { return qel::platform::wallClockSeconds(); }

double qelWallClockTime() { return QelClTiming::wallClockTime(); }

double _qelWallClockTime() { return 0.0; }

void qelSleepMilliSeconds(unsigned int milliseconds) {
  qel::platform::sleepMilliseconds(milliseconds);
}

// The products wrap in 32 bits, as the system's millisecond sleep takes them.
void qelSleepSeconds(unsigned int seconds) { qelSleepMilliSeconds(seconds * 1000u); }

void qelSleepMinutes(unsigned int minutes) { qelSleepMilliSeconds(minutes * 60000u); }

void qelSleepHours(unsigned int hours) { qelSleepMilliSeconds(hours * 3600000u); }
