#include "sim/rf_frontend.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/card_frames.h"

// The receiver's edge cases; the common paths are covered through the chip's registers.
namespace kvt::sim {
namespace {

using Bytes = std::vector<uint8_t>;

AirAnswer answerOf(Bytes bytes, size_t bitCount = 0) {
  AirAnswer answer;
  answer.frame = AirFrame::fromBytes(std::move(bytes));
  if (bitCount) answer.frame.bitCount = bitCount;
  return answer;
}

TEST(RfFrontendTest, AirTimeFollowsTheModeRate) {
  const std::pair<uint8_t, unsigned> rates[] = {{0x00, 106}, {0x92, 212}, {0xA2, 424}, {0x70, 848}};
  for (auto [mode, kbps] : rates) EXPECT_EQ(airRateKbps(mode), kbps) << int(mode);
  // 16 bits + 2 parity bits + start and end: 20 bit times of 1/106 ms.
  EXPECT_EQ(airTime(16, 0x00), Nanos(20 * 1'000'000 / 106));
  EXPECT_LT(airTime(16, 0x20), airTime(16, 0x00));
}

TEST(RfFrontendTest, UncheckedCrcStaysAndAnOddAlignmentEndsInsideAByte) {
  ReceivedFrame plain = decodeAnswer(answerOf(frameWithCrc({0x08}).bytes), 0x00, 0, true);
  EXPECT_EQ(plain.bytes, frameWithCrc({0x08}).bytes);
  EXPECT_EQ(plain.errors, 0);
  // 5 bits from bit 2 on: one byte, 7 valid bits.
  ReceivedFrame odd = decodeAnswer(answerOf({0xFF}, 5), 0x00, 2, true);
  EXPECT_EQ(odd.bytes, Bytes{0x7C});
  EXPECT_EQ(odd.lastBits, 7);
}

}  // namespace
}  // namespace kvt::sim
