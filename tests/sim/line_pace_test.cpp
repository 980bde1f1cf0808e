#include "sim/line_pace.h"

#include <gtest/gtest.h>

namespace kvt::sim {
namespace {

using std::chrono::microseconds;
using std::chrono::nanoseconds;
using Clock = LinePace::Clock;

// A register write at `rate`: two host bytes written at once at `start`, the echo after the
// second. When the host can read the echo.
Clock::time_point registerWrite(LinePace& pace, Clock::time_point start, uint32_t rate) {
  pace.hostByte(start, rate);
  const Clock::time_point received = pace.hostByte(start, rate);
  return pace.readable(pace.chipByte(received, rate));
}

TEST(LinePaceTest, ARegisterWriteTakesThreeByteTimesAtTheRateOfTheMoment) {
  const Clock::time_point t0{};
  LinePace pace(true, std::chrono::milliseconds(0), t0);
  // 10 bits a byte: 86.8 us at 115200, 1041.7 us at 9600.
  const Clock::time_point fast = registerWrite(pace, t0, 115200);
  EXPECT_EQ(fast - t0, nanoseconds(3 * 86'805));
  // The host switched to 9600 and writes again 1 ms later: the line was idle meanwhile.
  const Clock::time_point later = fast + microseconds(1000);
  EXPECT_EQ(registerWrite(pace, later, 9600) - later, nanoseconds(3 * 1'041'666));
}

TEST(LinePaceTest, BytesQueueBehindTheOnesBeforeThemInEachDirection) {
  const Clock::time_point t0{};
  LinePace pace(true, std::chrono::milliseconds(0), t0);
  // Five bytes written at once arrive one byte time apart; so do the answers they cause.
  Clock::time_point arrived, sent;
  for (int i = 1; i <= 5; ++i) {
    arrived = pace.hostByte(t0, 115200);
    EXPECT_EQ(arrived - t0, i * nanoseconds(86'805));
    sent = pace.chipByte(arrived, 115200);
  }
  EXPECT_EQ(sent - t0, 6 * nanoseconds(86'805));
  EXPECT_EQ(pace.chipByte(t0, 115200) - t0, 7 * nanoseconds(86'805));  // after the others
}

TEST(LinePaceTest, LatencyDelaysEveryAnswerPacedOrNot) {
  const Clock::time_point t0{};
  LinePace unpaced(false, std::chrono::milliseconds(3), t0);
  EXPECT_EQ(registerWrite(unpaced, t0, 115200) - t0, std::chrono::milliseconds(3));
  LinePace paced(true, std::chrono::milliseconds(3), t0);
  EXPECT_EQ(registerWrite(paced, t0, 115200) - t0,
            std::chrono::milliseconds(3) + nanoseconds(3 * 86'805));
}

}  // namespace
}  // namespace kvt::sim
