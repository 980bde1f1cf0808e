#include "sim/polling_target.h"

#include <gtest/gtest.h>

#include "sim/card_frames.h"

// The target on its own; its answers through the whole stack are tested with PassivePolling.
namespace kvt::sim {
namespace {

using Bytes = std::vector<uint8_t>;

const PollingTarget::Id kIdm{0x01, 0x2E, 0x4C, 0x7A, 0x11, 0x22, 0x33, 0x44};
const PollingTarget::Id kPmm{0x05, 0x31, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46};

AirFrame request(uint16_t systemCode, uint8_t requestCode, uint8_t slots, bool crc = true) {
  Bytes r{0x06, 0x00, uint8_t(systemCode >> 8), uint8_t(systemCode & 0xFF), requestCode, slots};
  return crc ? frameWithCrc(r) : AirFrame::fromBytes(r);
}

TEST(PollingTargetTest, AnswersMatchingSystemCodesOnlyWithTheRequestedData) {
  PollingTarget target(kIdm, kPmm, 0x12FC);
  Bytes answer{20, 0x01};
  answer.insert(answer.end(), kIdm.begin(), kIdm.end());
  answer.insert(answer.end(), kPmm.begin(), kPmm.end());
  answer.insert(answer.end(), {0x00, 0x83});  // communication ability
  EXPECT_EQ(payloadIfCrcOk(*target.receive(request(0x12FF, 0x02, 0))), answer);
  EXPECT_TRUE(target.receive(request(0xFFFF, 0x00, 0, false)));  // without CRC as well
  EXPECT_FALSE(target.receive(request(0xFFB4, 0x00, 0)));
  EXPECT_FALSE(target.receive(frameWithCrc({0x06, 0x04, 0xFF, 0xFF, 0x00, 0x00})));
  auto damaged = request(0xFFFF, 0x00, 0);
  damaged.bytes[2] ^= 0x01;  // neither a good CRC nor a bare 6-byte request
  EXPECT_FALSE(target.receive(damaged));
}

TEST(PollingTargetTest, TakesItsSlotOrTheLastOneOffered) {
  PollingTarget target(kIdm, kPmm, 0x12FC, 3);
  ASSERT_TRUE(target.receive(request(0xFFFF, 0x00, 15)));
  EXPECT_EQ(target.answerSlot(), 3);
  ASSERT_TRUE(target.receive(request(0xFFFF, 0x00, 1)));
  EXPECT_EQ(target.answerSlot(), 1);
}

}  // namespace
}  // namespace kvt::sim
