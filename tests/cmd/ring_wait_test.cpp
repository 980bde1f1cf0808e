// The waits' timing on the test clock; their log lines are checked by tests/scripts/ri_waits.
#include "cmd/ring_wait.h"

#include <gtest/gtest.h>

#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

class RingWaitTest : public ::testing::Test {
 protected:
  // RI is on from `onAtMs` until `offAtMs` of the test clock, off otherwise.
  RingLevelSource ringBetween(int64_t onAtMs, int64_t offAtMs) {
    return [this, onAtMs, offAtMs]() -> std::optional<bool> {
      ++looks;
      return nowMs() >= onAtMs && nowMs() < offAtMs;
    };
  }
  int64_t nowMs() { return clock.now().count() / 1000; }

  platform::ManualClock clock;
  int looks = 0;
};

TEST_F(RingWaitTest, WaitLevelLooksEveryMillisecondUntilTheLevelOrTheTimeOut) {
  const RingLevelSource ring = ringBetween(1200, 99999);
  EXPECT_EQ(WaitRingLevel(ring, clock, false, 5000), 1);  // already there: at once
  EXPECT_EQ(nowMs(), 0);
  EXPECT_EQ(looks, 1);
  EXPECT_EQ(WaitRingLevel(ring, clock, true, 3000), 1);
  EXPECT_EQ(nowMs(), 1200);
  EXPECT_EQ(looks, 1202);
  EXPECT_EQ(WaitRingLevel(ring, clock, false, 100), 0);  // time-out after more than 100 ms
  EXPECT_EQ(nowMs(), 1301);
  // A time-out of 0 reports the present state, whatever level was asked for.
  EXPECT_EQ(WaitRingLevel(ringBetween(5, 10), clock, false, 0), 0);
  EXPECT_EQ(WaitRingLevel(ring, clock, false, 0), 1);
  EXPECT_EQ(nowMs(), 1301);
}

TEST_F(RingWaitTest, WaitEdgeSeesAChangeEitherWay) {
  const RingLevelSource ring = ringBetween(300, 700);
  EXPECT_EQ(WaitRingEdge(ring, clock, 1000), 1);
  EXPECT_EQ(nowMs(), 300);
  EXPECT_EQ(WaitRingEdge(ring, clock, 1000), 1);
  EXPECT_EQ(nowMs(), 700);
  EXPECT_EQ(WaitRingEdge(ring, clock, 50), 0);
  EXPECT_EQ(nowMs(), 751);
  EXPECT_EQ(WaitRingEdge(ring, clock, 0), 0);
  EXPECT_EQ(nowMs(), 751);
  // An edge counts only from the first known level: unknown, off, off, then on.
  looks = 0;
  auto unknownFirst = [this]() -> std::optional<bool> {
    if (++looks == 1) return std::nullopt;
    return looks >= 4;
  };
  EXPECT_EQ(WaitRingEdge(unknownFirst, clock, 100), 1);
  EXPECT_EQ(nowMs(), 754);
}

using RingCommandTest = test::CommandFixture;

// Without an open port both waits time out (a port without modem lines: tests/cli/cases), and a
// change of the host's rate has no port to set.
TEST_F(RingCommandTest, WithoutAnOpenPortBothWaitsTimeOut) {
  serialBus.setPort(nullptr);
  app.port = nullptr;
  run("CHB 14400");
  run("WIL 1 10");
  run("WIE 20");
  EXPECT_EQ(nowMs(), 32);
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{"CHB   14400     // Baudrate = 14400",
                                      "WIL 1 10    // Level = 1, Timeout = 10 (Result: 0)",
                                      "WIE 20       // Timeout = 20 (Result: 0)"}));
}

}  // namespace
}  // namespace kvt::cmd
