// Tests of the clocks, sleeping and the process properties.
#include "tests/qel_test.h"

#include <cmath>

TEST(ProcessProperty, IdentifiesTheCallingProcessAndThread) {
  EXPECT_NE(QelClProcessProperty().getProcessId(), 0u);
  EXPECT_EQ(QelClProcessProperty().getProcessId(), QelClProcessProperty().getProcessId());
  EXPECT_EQ(QelClProcessProperty(4711).getProcessId(), 4711u);

  const std::uint32_t mine = QelClThreadProperty().getThreadId();
  EXPECT_EQ(QelClThreadProperty().getThreadId(), mine);
  std::uint32_t other = mine;
  std::thread([&other] { other = QelClThreadProperty().getThreadId(); }).join();
  EXPECT_NE(other, mine);
  EXPECT_NE(other, 0u);
  EXPECT_EQ(QelClThreadProperty(17).getThreadId(), 17u);
}

// 4294968 s is 4294968000 ms, which wraps in 32 bits to 704 ms.
TEST(Clock, SleepAdvancesTheTickCountAndWrapsAt32Bits) {
  std::uint32_t before = qelGetTimeStamp();
  qelSleepMilliSeconds(120);
  const std::uint32_t slept = qelGetTimeStamp() - before;  // wraps correctly
  EXPECT_GE(slept, 100u);
  EXPECT_LT(slept, 5000u);
  before = qelGetTimeStamp();
  qelSleepSeconds(4294968);
  const std::uint32_t wrapped = qelGetTimeStamp() - before;
  EXPECT_GE(wrapped, 680u);
  EXPECT_LT(wrapped, 5000u);
}

TEST(Clock, WallClockHasMillisecondResolution) {
  const double now = qelWallClockTime();
  EXPECT_NEAR(now, static_cast<double>(std::time(nullptr)), 2.0);
  const double milliseconds = now * 1000.0;
  EXPECT_NEAR(milliseconds, std::round(milliseconds), 0.01);
  EXPECT_NEAR(QelClTiming::wallClockTime(), now, 1.0);
  EXPECT_EQ(_qelWallClockTime(), 0.0);
  qelSleepMilliSeconds(1100);
  EXPECT_NEAR(qelWallClockTime() - now, 1.1, 0.5);
}
