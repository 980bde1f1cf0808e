#include "sim/chip_timer.h"

#include <gtest/gtest.h>

namespace kvt::sim {
namespace {

using std::chrono::microseconds;
using std::chrono::nanoseconds;

TEST(ChipTimerTest, PrescalerOf0x2A5TicksAboutEveryHundredMicroseconds) {
  EXPECT_EQ(ChipTimer::ticksToTime(1, 0x2A5), nanoseconds(99926));
  EXPECT_EQ(ChipTimer::ticksToTime(1000, 0x2A5), nanoseconds(99'926'253));
  EXPECT_EQ(ChipTimer::ticksToTime(1, 0), nanoseconds(73));  // one carrier period
}

TEST(ChipTimerTest, CountsDownFromTheReloadAndExpiresOneTickAfterZero) {
  ChipTimer timer;
  EXPECT_FALSE(timer.expiry());
  const nanoseconds start = microseconds(1000);
  timer.start(start, 0x2A5, 3, false);
  EXPECT_EQ(timer.value(start), 3);
  EXPECT_EQ(timer.value(start + ChipTimer::ticksToTime(1, 0x2A5)), 2);
  EXPECT_EQ(timer.value(start + ChipTimer::ticksToTime(3, 0x2A5)), 0);
  ASSERT_TRUE(timer.expiry());
  EXPECT_EQ(*timer.expiry(), start + ChipTimer::ticksToTime(4, 0x2A5));
  timer.expire(*timer.expiry());
  EXPECT_FALSE(timer.running());
  EXPECT_EQ(timer.value(start + microseconds(5000)), 0);
}

TEST(ChipTimerTest, StopFreezesTheValue) {
  ChipTimer timer;
  timer.start(nanoseconds(0), 0x2A5, 100, false);
  timer.stop(ChipTimer::ticksToTime(10, 0x2A5));
  EXPECT_EQ(timer.value(microseconds(500'000)), 90);
  EXPECT_FALSE(timer.expiry());
}

TEST(ChipTimerTest, AutomaticRestartSkipsPeriodsThatAlreadyEnded) {
  ChipTimer timer;
  timer.start(nanoseconds(0), 0, 0, true);  // a 73 ns period
  const nanoseconds period = ChipTimer::ticksToTime(1, 0);
  const nanoseconds later = microseconds(500'000);
  timer.expire(later);
  ASSERT_TRUE(timer.expiry());
  EXPECT_GT(*timer.expiry(), later);
  EXPECT_LE(*timer.expiry(), later + period);
}

}  // namespace
}  // namespace kvt::sim
