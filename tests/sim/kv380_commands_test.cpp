#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "chip/registers.h"
#include "sim/kv380.h"
#include "test_targets.h"

namespace kvt::sim {
namespace {

using std::chrono::microseconds;
using test::FixedAnswerTarget;

// The chip driven register by register, as a host would, with time moved by hand.
class Kv380CommandsTest : public ::testing::Test {
 protected:
  void w(uint8_t address, uint8_t value) { chip.writeRegister(address, value); }
  uint8_t r(uint8_t address) { return chip.readRegister(address); }
  void load(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) w(0x09, b);
  }
  std::vector<uint8_t> drainFifo() {
    std::vector<uint8_t> bytes;
    for (int n = r(0x0A); n > 0; --n) bytes.push_back(r(0x09));
    return bytes;
  }
  void advance(microseconds us) { chip.advanceTime(us); }
  // Timer: automatic start, prescaler 0x2A5 (about 100 us per tick), the given reload.
  void setTimer(uint16_t reload) {
    w(0x2A, 0x82);
    w(0x2B, 0xA5);
    w(0x2C, reload >> 8);
    w(0x2D, reload & 0xFF);
  }
  void transceive(const std::vector<uint8_t>& frame, uint8_t framing = 0x00) {
    w(0x04, 0x7F);  // clear every request
    w(0x01, 0x0C);
    load(frame);
    w(0x0D, static_cast<uint8_t>(0x80 | framing));
  }
  std::shared_ptr<FixedAnswerTarget> addTarget(std::optional<AirFrame> answer, int slot = 0) {
    auto target = std::make_shared<FixedAnswerTarget>(std::move(answer), slot);
    chip.field().add(target);
    return target;
  }

  Kv380 chip;
};

TEST_F(Kv380CommandsTest, FifoCountsFlushesAndFlagsOverflow) {
  load({1, 2, 3});
  EXPECT_EQ(r(0x0A), 3);
  EXPECT_EQ(r(0x09), 1);
  EXPECT_EQ(r(0x0A), 2);
  w(0x0A, 0x80);
  EXPECT_EQ(r(0x0A), 0);
  EXPECT_EQ(r(0x09), 0);  // an empty FIFO reads 0

  for (int i = 0; i < 64; ++i) w(0x09, static_cast<uint8_t>(i));
  EXPECT_EQ(r(0x06), 0x00);
  w(0x09, 0xFF);  // the 65th byte is lost
  EXPECT_EQ(r(0x0A), 64);
  EXPECT_EQ(r(0x06), 0x10);
  EXPECT_EQ(r(0x04) & 0x02, 0x02);
}

TEST_F(Kv380CommandsTest, InterruptRegistersSetWithBit7AndClearWithout) {
  for (uint8_t address : {0x02, 0x03, 0x04, 0x05}) {
    w(address, 0x80 | 0x23);
    EXPECT_EQ(r(address), 0x23) << int(address);
    w(address, 0x21);
    EXPECT_EQ(r(address), 0x02) << int(address);
    w(address, 0x80 | 0x40);
    EXPECT_EQ(r(address), 0x42) << int(address);
  }
}

TEST_F(Kv380CommandsTest, CommandRegisterKeepsItsUpperBitsAndFallsBackToIdle) {
  load({0x30, 0x04});
  w(0x01, 0x23);  // CRC calculation with bit 0x20 set
  EXPECT_EQ(r(0x01), 0x20);
  EXPECT_EQ(r(0x04) & 0x10, 0x10);  // command done
}

TEST_F(Kv380CommandsTest, ConfigurationBufferStoresAndLoadsTwentyFiveBytes) {
  std::vector<uint8_t> config;
  for (int i = 0; i < 25; ++i) config.push_back(static_cast<uint8_t>(0xC0 + i));
  load(config);
  w(0x01, 0x01);
  EXPECT_EQ(r(0x0A), 0);
  EXPECT_EQ(r(0x04) & 0x12, 0x10);

  w(0x04, 0x7F);
  w(0x01, 0x01);  // empty FIFO: the buffer comes back
  EXPECT_EQ(drainFifo(), config);

  load({1, 2, 3});  // neither empty nor 25 bytes
  w(0x01, 0x01);
  EXPECT_EQ(r(0x06), 0x01);
  EXPECT_EQ(r(0x04) & 0x02, 0x02);
  EXPECT_EQ(r(0x0A), 3);
  const auto& stored = chip.commandUnit().configuration();
  EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.end()), config);
}

TEST_F(Kv380CommandsTest, RandomIdentifierFillsTheIdentifierBytesRepeatably) {
  w(0x01, 0x02);
  const auto first = chip.commandUnit().configuration();
  for (size_t i : {0, 1, 5, 6, 7, 14, 23}) EXPECT_EQ(first[i], 0) << i;
  int changed = 0;
  for (size_t i : {2, 3, 4, 8, 9, 10, 11, 12, 13, 24}) changed += first[i] != 0;
  EXPECT_GE(changed, 8);
  w(0x01, 0x02);
  EXPECT_NE(chip.commandUnit().configuration(), first);

  Kv380 other;
  other.writeRegister(0x01, 0x02);
  EXPECT_EQ(other.commandUnit().configuration(), first);
}

TEST_F(Kv380CommandsTest, TransceiveWithNothingInTheFieldEndsByTheTimer) {
  setTimer(3);  // 4 ticks after the end of the transmission
  transceive({0x26}, 0x07);
  advance(microseconds(100));  // 7 bits on the air take about 95 us
  EXPECT_EQ(r(0x04), 0x40);
  EXPECT_EQ(r(0x2F), 3);
  advance(microseconds(300));
  EXPECT_EQ(r(0x04) & 0x01, 0);
  advance(microseconds(120));
  EXPECT_EQ(r(0x04), 0x40 | 0x10 | 0x01);
  EXPECT_EQ(r(0x01) & 0x0F, 0x00);
  EXPECT_EQ(r(0x0A), 0);
}

TEST_F(Kv380CommandsTest, TransceiveWithoutTimerWaitsForEver) {
  w(0x2A, 0x00);
  transceive({0x26}, 0x07);
  advance(microseconds(10'000'000));
  EXPECT_EQ(r(0x04), 0x40);
  EXPECT_EQ(r(0x01) & 0x0F, 0x0C);
}

TEST_F(Kv380CommandsTest, AnswerLandsInTheFifoWithCrcCheckedAndStripped) {
  auto card = addTarget(test::frameWithCrcA({0x11, 0x22, 0x33}));
  setTimer(100);
  w(0x12, 0x80);
  w(0x13, 0x80);
  transceive({0x30, 0x04});
  advance(microseconds(2000));
  ASSERT_EQ(card->heard.size(), 1u);
  EXPECT_EQ(card->heard[0].bytes, (std::vector<uint8_t>{0x30, 0x04, 0x26, 0xEE}));
  EXPECT_EQ(card->heard[0].txMode, 0x80);
  EXPECT_EQ(r(0x04), 0x40 | 0x20 | 0x10);  // the answer stopped the timer
  EXPECT_EQ(r(0x06), 0x00);
  EXPECT_EQ(r(0x0C) & 0x07, 0);
  EXPECT_EQ(drainFifo(), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
  advance(microseconds(20'000));
  EXPECT_EQ(r(0x04) & 0x01, 0);
}

TEST_F(Kv380CommandsTest, AnswerArrivesOnlyAfterItsAirTime) {
  addTarget(AirFrame::fromBytes({0x04, 0x00}));
  setTimer(100);
  transceive({0x26}, 0x07);
  // 7 bits (about 95 us), the card's 86 us delay, then 2 bytes (about 189 us).
  advance(microseconds(300));
  EXPECT_EQ(r(0x04) & 0x20, 0);
  EXPECT_EQ(r(0x0A), 0);
  advance(microseconds(100));
  EXPECT_EQ(r(0x04) & 0x20, 0x20);
  EXPECT_EQ(r(0x0A), 2);
}

TEST_F(Kv380CommandsTest, AnswerAfterTheTimerIsLost) {
  addTarget(AirFrame::fromBytes({0x04, 0x00}));
  w(0x2A, 0x80);  // prescaler 0, reload 0: expires 73 ns after the transmission
  transceive({0x26}, 0x07);
  advance(microseconds(2000));
  EXPECT_EQ(r(0x04), 0x40 | 0x10 | 0x01);
  EXPECT_EQ(r(0x0A), 0);
}

TEST_F(Kv380CommandsTest, FourBitAnswerWithCrcCheckingGetsTheCrcErrorBit) {
  addTarget(test::bitFrame({0x0A}, 4));
  setTimer(100);
  w(0x12, 0x80);
  w(0x13, 0x80);
  transceive({0xA0, 0x04});
  advance(microseconds(2000));
  EXPECT_EQ(r(0x04), 0x40 | 0x20 | 0x10 | 0x02);
  EXPECT_EQ(r(0x06), 0x04);
  EXPECT_EQ(r(0x0C) & 0x07, 4);
  EXPECT_EQ(drainFifo(), std::vector<uint8_t>{0x0A});
}

TEST_F(Kv380CommandsTest, CollisionDuringAnticollisionKeepsBitsUpToTheCollision) {
  // Two serial numbers that first differ in bit 3 of their second byte (bit 11).
  addTarget(AirFrame::fromBytes({0x88, 0x04, 0x3A, 0x00, 0xB6}));
  addTarget(AirFrame::fromBytes({0x88, 0x0C, 0x3A, 0x00, 0xBE}));
  setTimer(100);
  w(0x0E, 0x00);
  transceive({0x93, 0x20});
  advance(microseconds(2000));
  EXPECT_EQ(r(0x06), 0x08);
  EXPECT_EQ(r(0x04) & 0x22, 0x22);
  EXPECT_EQ(r(0x0C) & 0x07, 4);  // 12 bits: the collided bit is kept, read as 1
  EXPECT_EQ(r(0x0E), 11);
  EXPECT_EQ(drainFifo(), (std::vector<uint8_t>{0x88, 0x0C}));

  // Keeping the bits after the collision delivers the whole superposed answer.
  w(0x0E, 0x80);
  transceive({0x93, 0x20});
  advance(microseconds(2000));
  EXPECT_EQ(r(0x0E), 0x80 | 11);
  EXPECT_EQ(drainFifo(), (std::vector<uint8_t>{0x88, 0x0C, 0x3A, 0x00, 0xBE}));
}

TEST_F(Kv380CommandsTest, RxAlignPlacesTheFirstBitAndTxLastBitsCutTheFrame) {
  auto card = addTarget(test::bitFrame({0xAB, 0xCD, 0x0E}, 20));
  setTimer(100);
  w(0x0E, 0x00);
  transceive({0x93, 0x34, 0x12, 0x34}, 0x44);  // 2 bytes and 4 bits known
  advance(microseconds(2000));
  ASSERT_EQ(card->heard.size(), 1u);
  EXPECT_EQ(card->heard[0].bitCount, 28u);
  EXPECT_EQ(r(0x0C) & 0x07, 0);  // 4 + 20 bits: three whole bytes
  EXPECT_EQ(drainFifo(), (std::vector<uint8_t>{0xB0, 0xDA, 0xEC}));
}

TEST_F(Kv380CommandsTest, MultipleFramesFollowEachFrameWithItsStatusByte) {
  addTarget(test::frameWithCrcA({0x03, 0x01, 0xA1}), 0);
  std::vector<uint8_t> damaged = test::frameWithCrcA({0x03, 0x01, 0xB2}).bytes;
  damaged.back() ^= 0xFF;
  addTarget(AirFrame::fromBytes(damaged), 2);
  setTimer(60);  // about 6 ms: long enough for three slots
  w(0x12, 0x92);
  w(0x13, 0x80 | 0x04 | 0x12);
  transceive({0x06, 0x00, 0xFF, 0xFF, 0x00, 0x03});
  advance(microseconds(4000));
  EXPECT_EQ(r(0x04) & 0x31, 0x20);  // frames came; the reception goes on
  advance(microseconds(4000));
  EXPECT_EQ(r(0x04) & 0x31, 0x31);
  EXPECT_EQ(r(0x06), 0x04);
  EXPECT_EQ(drainFifo(), (std::vector<uint8_t>{0x03, 0x01, 0xA1, 0x00, 0x03, 0x01, 0xB2, 0x04}));
}

TEST_F(Kv380CommandsTest, TransmitEndsAfterSendingAndHearsNoAnswer) {
  auto card = addTarget(AirFrame::fromBytes({0x55}));
  setTimer(100);
  w(0x04, 0x7F);
  load({0x50, 0x00});
  w(0x01, 0x04);
  advance(microseconds(1000));
  EXPECT_EQ(card->heard.size(), 1u);
  EXPECT_EQ(r(0x04) & 0x70, 0x50);
  EXPECT_EQ(r(0x0A), 0);
}

TEST_F(Kv380CommandsTest, AuthenticateSwitchesTheCryptoUnitOnlyWhenACardAccepts) {
  auto card = addTarget(std::nullopt);
  std::vector<uint8_t> block = {0x60, 0x04, 1, 2, 3, 4, 5, 6, 0xC4, 0x3B, 0x9E, 0x12};
  load(block);
  w(0x01, 0x0E);
  advance(microseconds(2000));
  EXPECT_EQ(r(0x08) & 0x08, 0);
  EXPECT_EQ(r(0x06), 0x01);
  ASSERT_EQ(card->authentications.size(), 1u);
  EXPECT_EQ(card->authentications[0], block);

  card->acceptAuthentication = true;
  w(0x04, 0x7F);
  load(block);
  w(0x01, 0x0E);
  EXPECT_EQ(r(0x04) & 0x10, 0);  // the exchange takes its time
  advance(microseconds(2000));
  EXPECT_EQ(r(0x04) & 0x10, 0x10);
  EXPECT_EQ(r(0x06), 0x00);  // the new command cleared the old error
  EXPECT_EQ(r(0x08) & 0x08, 0x08);

  w(0x08, 0x08);  // the host cannot switch it on, nor does leaving it on notify cards
  EXPECT_EQ(card->cryptoOffs, 0);
  w(0x08, 0x00);
  EXPECT_EQ(r(0x08) & 0x08, 0);
  EXPECT_EQ(card->cryptoOffs, 1);
  w(0x08, 0x08);
  EXPECT_EQ(r(0x08) & 0x08, 0);
}

TEST_F(Kv380CommandsTest, AuthenticateNeedsTwelveBytes) {
  auto card = addTarget(std::nullopt);
  load({0x60, 0x04});
  w(0x01, 0x0E);
  EXPECT_EQ(r(0x04) & 0x12, 0x12);
  EXPECT_EQ(r(0x06), 0x01);
  EXPECT_TRUE(card->authentications.empty());
}

TEST_F(Kv380CommandsTest, SoftResetRestoresRegistersAndResetsTheCards) {
  auto card = addTarget(std::nullopt);
  w(0x3B, 0x5A);
  w(0x14, 0x80);
  load({1, 2});
  w(0x01, 0x2F);
  EXPECT_EQ(r(0x3B), 0x00);
  EXPECT_EQ(r(0x14), 0x58);
  EXPECT_EQ(r(0x37), 0x28);
  EXPECT_EQ(r(0x0A), 0);
  EXPECT_EQ(r(0x01), 0x00);
  EXPECT_EQ(card->fieldResets, 1);
}

TEST_F(Kv380CommandsTest, SoftResetFallsBackTo9600AfterTheEcho) {
  w(0x1F, 0x79);
  chip.commitLineRate();
  EXPECT_EQ(chip.lineRate(), 115200u);
  w(0x01, 0x0F);
  EXPECT_EQ(chip.lineRate(), 115200u);
  chip.commitLineRate();
  EXPECT_EQ(chip.lineRate(), 9600u);
}

TEST_F(Kv380CommandsTest, RfLevelDetectorBehavesLikeAHealthyChip) {
  EXPECT_EQ(r(0x35) & 0x04, 0);  // transmitter off after reset
  w(0x14, 0x81);
  w(0x26, 0x66);
  EXPECT_EQ(r(0x35) & 0x04, 0x04);
  w(0x26, 0x67);
  EXPECT_EQ(r(0x35) & 0x04, 0);
  w(0x26, 0x60);
  w(0x14, 0x80);
  EXPECT_EQ(r(0x35) & 0x04, 0);

  Kv380 older(ChipConfig{0x26});
  older.writeRegister(0x14, 0x81);
  older.writeRegister(0x26, 0x66);
  EXPECT_EQ(older.readRegister(0x35) & 0x04, 0);
}

TEST_F(Kv380CommandsTest, UnknownCommandRaisesTheErrorRequest) {
  w(0x01, 0x05);
  EXPECT_EQ(r(0x04) & 0x02, 0x02);
  EXPECT_EQ(r(0x01) & 0x0F, 0x00);
}

}  // namespace
}  // namespace kvt::sim
