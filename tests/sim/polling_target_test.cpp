#include "sim/polling_target.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/card_frames.h"

namespace kvt::sim {
namespace {

using Bytes = std::vector<uint8_t>;

const PollingTarget::Id kIdm{0x01, 0x2E, 0x4C, 0x7A, 0x11, 0x22, 0x33, 0x44};
const PollingTarget::Id kPmm{0x05, 0x31, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46};

AirFrame request(uint16_t systemCode, uint8_t requestCode, uint8_t slots, bool crc = true) {
  Bytes r{0x06, 0x00, uint8_t(systemCode >> 8), uint8_t(systemCode & 0xFF), requestCode, slots};
  return crc ? frameWithCrc(r) : AirFrame::fromBytes(r);
}

Bytes expectedAnswer(const Bytes& requestData = {}) {
  Bytes a{uint8_t(18 + requestData.size()), 0x01};
  a.insert(a.end(), kIdm.begin(), kIdm.end());
  a.insert(a.end(), kPmm.begin(), kPmm.end());
  a.insert(a.end(), requestData.begin(), requestData.end());
  return a;
}

TEST(PollingTargetTest, AnswersWithIdmPmmAndTheRequestedData) {
  PollingTarget target(kIdm, kPmm, 0x12FC);
  auto plain = target.receive(request(0xFFFF, 0x00, 0));
  ASSERT_TRUE(plain);
  EXPECT_EQ(payloadIfCrcOk(*plain), expectedAnswer());
  EXPECT_EQ(payloadIfCrcOk(*target.receive(request(0x12FC, 0x01, 0))),
            expectedAnswer({0x12, 0xFC}));
  EXPECT_EQ(payloadIfCrcOk(*target.receive(request(0x12FF, 0x02, 0))),
            expectedAnswer({0x00, 0x83}));
  // A request without CRC is understood as well.
  EXPECT_TRUE(target.receive(request(0xFFFF, 0x00, 0, false)));
}

TEST(PollingTargetTest, StaysSilentForOtherSystemCodesAndOtherFrames) {
  PollingTarget target(kIdm, kPmm, 0x12FC);
  EXPECT_FALSE(target.receive(request(0x88B4, 0x00, 0)));
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

TEST(PollingTargetTest, FieldKeepsAnswersOfDifferentSlotsApart) {
  RfField field;
  auto late = std::make_shared<PollingTarget>(kIdm, kPmm, 0x12FC, 2);
  PollingTarget::Id otherIdm = kIdm;
  otherIdm[7] = 0x99;
  auto early = std::make_shared<PollingTarget>(otherIdm, kPmm, 0x12FC, 0);
  field.add(late);
  field.add(early);
  auto answers = field.exchange(request(0xFFFF, 0x00, 3));
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].timeSlot, 0);
  EXPECT_EQ(answers[0].frame.bytes[9], 0x99);
  EXPECT_EQ(answers[1].timeSlot, 2);
  EXPECT_FALSE(answers[0].firstCollision);
  EXPECT_FALSE(answers[1].firstCollision);
}

TEST(PollingTargetTest, FaultsForMalformedAndDamagedAnswers) {
  PollingTarget target(kIdm, kPmm);
  target.setLengthByte(0x11);
  auto malformed = target.receive(request(0xFFFF, 0x00, 0));
  ASSERT_TRUE(malformed);
  EXPECT_EQ(malformed->bytes[0], 0x11);
  EXPECT_TRUE(payloadIfCrcOk(*malformed));  // well formed on the air, wrong inside
  target.setLengthByte(std::nullopt);
  target.setDamagedAnswer(true);
  auto damaged = target.receive(request(0xFFFF, 0x00, 0));
  ASSERT_TRUE(damaged);
  EXPECT_FALSE(payloadIfCrcOk(*damaged));
}

}  // namespace
}  // namespace kvt::sim
