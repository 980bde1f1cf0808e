#include "cmd/ring_wait.h"

#include <gtest/gtest.h>

#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

class RingWaitTest : public test::CommandFixture {
 protected:
  // RI is on from `onAtMs` until `offAtMs` of the test clock, off otherwise.
  void ringBetween(int64_t onAtMs, int64_t offAtMs) {
    simulatedPort->setRingIndicatorSource([this, onAtMs, offAtMs]() -> std::optional<bool> {
      ++looks;
      const int64_t now = nowMs();
      return now >= onAtMs && now < offAtMs;
    });
  }
  int looks = 0;
};

TEST_F(RingWaitTest, WaitLevelReturnsAtOnceWhenTheLevelIsThere) {
  ringBetween(0, 1000);
  EXPECT_EQ(run("WIL 1 5000"), LineDone);
  EXPECT_EQ(nowMs(), 0);
  EXPECT_EQ(looks, 1);
  EXPECT_EQ(logLines(), (Lines{"WIL 1 5000    // Level = 1, Timeout = 5000 (Result: 1)"}));
}

TEST_F(RingWaitTest, WaitLevelPollsEveryMillisecondUntilTheLevelComes) {
  ringBetween(1200, 99999);
  run("WIL 1 3000");
  EXPECT_EQ(nowMs(), 1200);
  EXPECT_EQ(looks, 1201);
  run("WIL 0 100");  // RI stays on: time-out after more than 100 ms
  EXPECT_EQ(nowMs(), 1301);
  EXPECT_EQ(logLines(), (Lines{"WIL 1 3000    // Level = 1, Timeout = 3000 (Result: 1)",
                               "WIL 0 100    // Level = 0, Timeout = 100 (Result: 0)"}));
}

TEST_F(RingWaitTest, ZeroTimeOutReportsThePresentState) {
  ringBetween(5, 10);
  run("WIL 1 0");  // off, though level 1 was asked for
  run("WIL 0 0");  // off: result 0 although it is the level asked for
  clock.advance(std::chrono::milliseconds(5));
  run("WIL 0 0");  // on
  EXPECT_EQ(nowMs(), 5);
  EXPECT_EQ(logLines(), (Lines{"WIL 1 0    // Level = 1, Timeout = 0 (Result: 0)",
                               "WIL 0 0    // Level = 0, Timeout = 0 (Result: 0)",
                               "WIL 0 0    // Level = 0, Timeout = 0 (Result: 1)"}));
}

TEST_F(RingWaitTest, LevelAndTimeOutAreNarrowed) {
  ringBetween(0, 99999);  // on
  run("WIL 256 65636");   // level 0 (low 8 bits), time-out 100
  EXPECT_EQ(nowMs(), 101);
  EXPECT_EQ(logLines(), (Lines{"WIL 0 100    // Level = 0, Timeout = 100 (Result: 0)"}));
}

TEST_F(RingWaitTest, WaitEdgeSeesAChangeEitherWay) {
  ringBetween(300, 700);
  run("WIE 1000");
  EXPECT_EQ(nowMs(), 300);
  run("WIE 1000");
  EXPECT_EQ(nowMs(), 700);
  run("WIE 50");
  EXPECT_EQ(nowMs(), 751);
  run("WIE 0");
  EXPECT_EQ(nowMs(), 751);
  EXPECT_EQ(logLines(), (Lines{"WIE 1000       // Timeout = 1000 (Result: 1)",
                               "WIE 1000       // Timeout = 1000 (Result: 1)",
                               "WIE 50       // Timeout = 50 (Result: 0)",
                               "WIE 0       // Timeout = 0 (Result: 0)"}));
}

TEST_F(RingWaitTest, WithoutModemLinesBothWaitsTimeOut) {
  simulatedPort->setRingIndicator(std::nullopt);
  run("WIL 0 0");
  EXPECT_EQ(nowMs(), 0);
  run("WIL 0 20");
  EXPECT_EQ(nowMs(), 21);
  run("WIE 20");
  EXPECT_EQ(nowMs(), 42);
  EXPECT_EQ(logLines(), (Lines{"WIL 0 0    // Level = 0, Timeout = 0 (Result: 0)",
                               "WIL 0 20    // Level = 0, Timeout = 20 (Result: 0)",
                               "WIE 20       // Timeout = 20 (Result: 0)"}));
}

TEST_F(RingWaitTest, AClosedPortReadsAsNoModemLines) {
  serialBus.setPort(nullptr);
  app.port = nullptr;
  run("WIL 1 10");
  EXPECT_EQ(nowMs(), 11);
  EXPECT_EQ(logLines(), (Lines{"WIL 1 10    // Level = 1, Timeout = 10 (Result: 0)"}));
}

TEST(RingWait, AnEdgeCountsOnlyFromTheFirstKnownLevel) {
  platform::ManualClock clock;
  int look = 0;
  // Unknown first, then off, then on at the fourth look.
  auto ring = [&look]() -> std::optional<bool> {
    ++look;
    if (look == 1) return std::nullopt;
    return look >= 4;
  };
  EXPECT_EQ(WaitRingEdge(ring, clock, 100), 1);
  EXPECT_EQ(clock.now(), std::chrono::milliseconds(3));
}

}  // namespace
}  // namespace kvt::cmd
