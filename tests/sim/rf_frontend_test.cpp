#include "sim/rf_frontend.h"

#include <gtest/gtest.h>

#include <vector>

#include "chip/crc_a.h"

namespace kvt::sim {
namespace {

AirAnswer answerOf(std::vector<uint8_t> bytes, size_t bitCount = 0) {
  AirAnswer answer;
  answer.frame = AirFrame::fromBytes(std::move(bytes));
  if (bitCount) answer.frame.bitCount = bitCount;
  return answer;
}

std::vector<uint8_t> withCrc(std::vector<uint8_t> bytes) {
  const uint16_t crc = chip::crcA(bytes.data(), bytes.size());
  bytes.push_back(crc & 0xFF);
  bytes.push_back(crc >> 8);
  return bytes;
}

TEST(RfFrontendTest, FrameCarriesTheLastBitsAndTheCrcWhenAsked) {
  const AirFrame reqa = buildFrame({0x26}, 0x00, 7);
  EXPECT_EQ(reqa.bitCount, 7u);
  EXPECT_EQ(reqa.bytes, std::vector<uint8_t>{0x26});

  const AirFrame read = buildFrame({0x30, 0x04}, 0x80, 0);
  EXPECT_EQ(read.bitCount, 32u);
  EXPECT_EQ(read.bytes, (std::vector<uint8_t>{0x30, 0x04, 0x26, 0xEE}));
  EXPECT_EQ(read.txMode, 0x80);

  // An anticollision frame of 2 bytes and 4 bits: the last byte loses its upper nibble.
  const AirFrame partial = buildFrame({0x93, 0x34, 0xAB, 0xCD}, 0x00, 4);
  EXPECT_EQ(partial.bitCount, 28u);
  EXPECT_EQ(partial.bytes.back(), 0x0D);
}

TEST(RfFrontendTest, AirTimeFollowsTheModeRate) {
  EXPECT_EQ(airRateKbps(0x00), 106u);
  EXPECT_EQ(airRateKbps(0x92), 212u);
  EXPECT_EQ(airRateKbps(0xA2), 424u);
  EXPECT_EQ(airRateKbps(0x70), 848u);
  // 16 bits + 2 parity bits + start and end: 20 bit times of 1/106 ms.
  EXPECT_EQ(airTime(16, 0x00), Nanos(20 * 1'000'000 / 106));
  EXPECT_LT(airTime(16, 0x20), airTime(16, 0x00));
}

TEST(RfFrontendTest, CrcIsCheckedAndStripped) {
  ReceivedFrame good = decodeAnswer(answerOf(withCrc({0x08})), 0x80, 0, true);
  EXPECT_EQ(good.bytes, std::vector<uint8_t>{0x08});
  EXPECT_EQ(good.errors, 0);

  std::vector<uint8_t> damaged = withCrc({1, 2, 3});
  damaged.back() ^= 0x01;
  ReceivedFrame bad = decodeAnswer(answerOf(damaged), 0x80, 0, true);
  EXPECT_EQ(bad.bytes, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(bad.errors, 0x04);

  // Without CRC checking the bytes arrive as sent.
  ReceivedFrame plain = decodeAnswer(answerOf(withCrc({0x08})), 0x00, 0, true);
  EXPECT_EQ(plain.bytes.size(), 3u);
  EXPECT_EQ(plain.errors, 0);
}

TEST(RfFrontendTest, FourBitAnswerWithCrcCheckingIsFlaggedAndKept) {
  ReceivedFrame ack = decodeAnswer(answerOf({0x0A}, 4), 0x80, 0, true);
  EXPECT_EQ(ack.bytes, std::vector<uint8_t>{0x0A});
  EXPECT_EQ(ack.lastBits, 4);
  EXPECT_EQ(ack.errors, 0x04);
}

TEST(RfFrontendTest, RxAlignShiftsTheAnswerIntoTheFirstByte) {
  // 28 bits (the rest of a serial number after 12 known bits) land from bit 4 on.
  ReceivedFrame r = decodeAnswer(answerOf({0x21, 0x43, 0x65, 0x07}, 28), 0x00, 4, true);
  EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0x10, 0x32, 0x54, 0x76}));
  EXPECT_EQ(r.lastBits, 0);
  EXPECT_EQ(r.errors, 0);

  ReceivedFrame odd = decodeAnswer(answerOf({0xFF}, 5), 0x00, 2, true);
  EXPECT_EQ(odd.bytes, std::vector<uint8_t>{0x7C});
  EXPECT_EQ(odd.lastBits, 7);
}

TEST(RfFrontendTest, CollisionKeepsBitsUpToTheCollidedOneDuringAnticollision) {
  AirAnswer collided = answerOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  collided.firstCollision = 11;
  ReceivedFrame cut = decodeAnswer(collided, 0x00, 0, false);
  EXPECT_EQ(cut.errors, 0x08);
  EXPECT_EQ(cut.bytes, (std::vector<uint8_t>{0xFF, 0x0F}));
  EXPECT_EQ(cut.lastBits, 4);  // 12 bits: the collided bit read as 1 is the reader's choice
  EXPECT_EQ(cut.collisionBit, 11u);

  ReceivedFrame kept = decodeAnswer(collided, 0x00, 0, true);
  EXPECT_EQ(kept.errors, 0x08);
  EXPECT_EQ(kept.bytes.size(), 5u);
  EXPECT_EQ(kept.lastBits, 0);
}

}  // namespace
}  // namespace kvt::sim
