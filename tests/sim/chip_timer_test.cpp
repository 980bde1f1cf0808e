#include "sim/chip_timer.h"

#include <gtest/gtest.h>

// Counting down and expiring after a transmission are tested through the chip's registers.
namespace kvt::sim {
namespace {

using std::chrono::microseconds;
using std::chrono::nanoseconds;

TEST(ChipTimerTest, TickLengthStopAndAutomaticRestart) {
  EXPECT_EQ(ChipTimer::ticksToTime(1, 0x2A5), nanoseconds(99926));  // about 100 us
  EXPECT_EQ(ChipTimer::ticksToTime(1000, 0x2A5), nanoseconds(99'926'253));
  EXPECT_EQ(ChipTimer::ticksToTime(1, 0), nanoseconds(73));  // one carrier period

  ChipTimer timer;
  EXPECT_FALSE(timer.expiry());
  timer.start(nanoseconds(0), 0x2A5, 100, false);
  ASSERT_TRUE(timer.expiry());
  EXPECT_EQ(*timer.expiry(), ChipTimer::ticksToTime(101, 0x2A5));  // one tick after zero
  timer.stop(ChipTimer::ticksToTime(10, 0x2A5));
  EXPECT_EQ(timer.value(microseconds(500'000)), 90);
  EXPECT_FALSE(timer.expiry());

  timer.start(nanoseconds(0), 0, 0, true);  // a 73 ns period, restarted at every expiry
  const nanoseconds later = microseconds(500'000);
  timer.expire(later);
  ASSERT_TRUE(timer.expiry());
  EXPECT_GT(*timer.expiry(), later);
  EXPECT_LE(*timer.expiry(), later + ChipTimer::ticksToTime(1, 0));
}

}  // namespace
}  // namespace kvt::sim
