#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "air_helpers.h"
#include "sim/kv380.h"

namespace kvt::sim {
namespace {

using std::chrono::microseconds;
using test::Bytes;
using test::FixedAnswerTarget;
using test::hex;

// The chip driven register by register, as a host would, with time moved by hand.
struct Host {
  void w(uint8_t address, uint8_t value) { chip.writeRegister(address, value); }
  uint8_t r(uint8_t address) { return chip.readRegister(address); }
  void load(const Bytes& bytes) {
    for (uint8_t b : bytes) w(0x09, b);
  }
  Bytes drainFifo() {
    Bytes bytes;
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
  void transceive(const Bytes& frame, uint8_t framing = 0x00) {
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

class Kv380CommandsTest : public ::testing::Test, public Host {};

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

TEST_F(Kv380CommandsTest, RequestRegistersSetWithBit7AndClearWithout) {
  for (uint8_t address : {0x04, 0x05}) {
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
  w(0x01, 0x05);                    // no such command
  EXPECT_EQ(r(0x04) & 0x02, 0x02);
  EXPECT_EQ(r(0x01) & 0x0F, 0x00);
}

TEST_F(Kv380CommandsTest, ConfigureStoresTwentyFiveBytesAndRefusesOtherCounts) {
  Bytes config;
  for (int i = 0; i < 25; ++i) config.push_back(static_cast<uint8_t>(0xC0 + i));
  load(config);
  w(0x01, 0x01);
  EXPECT_EQ(r(0x0A), 0);
  EXPECT_EQ(r(0x04) & 0x12, 0x10);
  load({1, 2, 3});  // neither empty nor 25 bytes
  w(0x01, 0x01);
  EXPECT_EQ(r(0x06), 0x01);
  EXPECT_EQ(r(0x04) & 0x02, 0x02);
  EXPECT_EQ(r(0x0A), 3);
  const auto& stored = chip.commandUnit().configuration();
  EXPECT_EQ(Bytes(stored.begin(), stored.end()), config);
}

TEST_F(Kv380CommandsTest, StartingACommandClearsEveryErrorButTheTemperature) {
  chip.poke(0x06, 0x40 | 0x1F);
  w(0x01, 0x0C);
  EXPECT_EQ(r(0x06), 0x40);
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

TEST_F(Kv380CommandsTest, AnswersReachTheFifoAsTheReceiverDecodesThem) {
  const AirFrame uidA = AirFrame::fromBytes({0x88, 0x04, 0x3A, 0x00, 0xB6});
  const AirFrame uidB = AirFrame::fromBytes({0x88, 0x0C, 0x3A, 0x00, 0xBE});  // differs in bit 11
  using Cards = std::vector<AirFrame>;
  const struct {
    const char* name;
    Cards answers;      // one card each
    uint8_t crc;        // transmit and receive mode: CRC on (0x80) or off
    uint8_t collision;  // collision register before the transceive
    const char* frame;
    uint8_t framing;    // bit framing: first received bit, bits of the last sent byte
    const char* heard;  // what the first card heard
    size_t heardBits;
    uint8_t requests, error, lastBits;
    const char* fifo;
  } cases[] = {
      {"CRC checked and stripped", Cards(1, frameWithCrc({0x11, 0x22, 0x33})), 0x80, 0x80, "30 04",
       0x00, "30 04 26 EE", 32, 0x70, 0x00, 0, "11 22 33"},
      {"4-bit answer with CRC checking", Cards(1, test::bitFrame({0x0A}, 4)), 0x80, 0x80, "A0 04",
       0x00, "A0 04 7B F7", 32, 0x72, 0x04, 4, "0A"},
      {"collision: bits up to it, the collided one read as 1", Cards{uidA, uidB}, 0x00, 0x00,
       "93 20", 0x00, "93 20", 16, 0x72, 0x08, 4, "88 0C"},
      {"collision: every bit kept", Cards{uidA, uidB}, 0x00, 0x80, "93 20", 0x00, "93 20", 16, 0x72,
       0x08, 0, "88 0C 3A 00 BE"},
      {"first received bit and bits of the last sent byte",
       Cards(1, test::bitFrame({0xAB, 0xCD, 0x0E}, 20)), 0x00, 0x00, "93 34 12 34", 0x44,
       "93 34 12 04", 28, 0x70, 0x00, 0, "B0 DA EC"},
  };
  for (const auto& c : cases) {
    Host h;
    std::shared_ptr<FixedAnswerTarget> first;
    for (const AirFrame& answer : c.answers) {
      auto target = h.addTarget(answer);
      if (!first) first = target;
    }
    h.setTimer(100);
    h.w(0x12, c.crc);
    h.w(0x13, c.crc);
    h.w(0x0E, c.collision);
    h.transceive(hex(c.frame), c.framing);
    h.advance(microseconds(2000));
    ASSERT_EQ(first->heard.size(), 1u) << c.name;
    EXPECT_EQ(first->heard[0].bytes, hex(c.heard)) << c.name;
    EXPECT_EQ(first->heard[0].bitCount, c.heardBits) << c.name;
    EXPECT_EQ(first->heard[0].txMode, c.crc) << c.name;
    EXPECT_EQ(h.r(0x04), c.requests) << c.name;
    EXPECT_EQ(h.r(0x06), c.error) << c.name;
    EXPECT_EQ(h.r(0x0C) & 0x07, c.lastBits) << c.name;
    if (c.error & 0x08) {
      EXPECT_EQ(h.r(0x0E), (c.collision & 0x80) | 11) << c.name;
    }
    EXPECT_EQ(h.drainFifo(), hex(c.fifo)) << c.name;
    h.advance(microseconds(20'000));  // the answer stopped the timer
    EXPECT_EQ(h.r(0x04) & 0x01, 0) << c.name;
  }
}

TEST_F(Kv380CommandsTest, AnswerArrivesOnlyAfterItsAirTimeAndNotAfterTheTimer) {
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

  w(0x0A, 0x80);
  w(0x2A, 0x80);  // prescaler 0, reload 0: expires 73 ns after the transmission
  w(0x2B, 0x00);
  w(0x2D, 0x00);
  transceive({0x26}, 0x07);
  advance(microseconds(2000));
  EXPECT_EQ(r(0x04), 0x40 | 0x10 | 0x01);
  EXPECT_EQ(r(0x0A), 0);
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
  load({0x60, 0x04});  // too short: refused before the air
  w(0x01, 0x0E);
  EXPECT_EQ(r(0x04) & 0x12, 0x12);
  EXPECT_EQ(r(0x06), 0x01);
  EXPECT_TRUE(card->authentications.empty());

  card->acceptAuthentication = true;
  const Bytes block = {0x60, 0x04, 1, 2, 3, 4, 5, 6, 0xC4, 0x3B, 0x9E, 0x12};
  w(0x04, 0x7F);
  w(0x0A, 0x80);
  load(block);
  w(0x01, 0x0E);
  EXPECT_EQ(r(0x04) & 0x10, 0);  // the exchange takes its time
  advance(microseconds(2000));
  EXPECT_EQ(r(0x04) & 0x10, 0x10);
  EXPECT_EQ(r(0x06), 0x00);  // the new command cleared the old error
  EXPECT_EQ(r(0x08) & 0x08, 0x08);
  ASSERT_EQ(card->authentications.size(), 1u);
  EXPECT_EQ(card->authentications[0], block);

  w(0x08, 0x08);  // the host cannot switch it on, nor does leaving it on notify cards
  EXPECT_EQ(card->cryptoOffs, 0);
  w(0x08, 0x00);
  EXPECT_EQ(r(0x08) & 0x08, 0);
  EXPECT_EQ(card->cryptoOffs, 1);
  w(0x08, 0x08);
  EXPECT_EQ(r(0x08) & 0x08, 0);
}

TEST_F(Kv380CommandsTest, SoftResetRestoresRegistersResetsTheCardsAndFallsBackTo9600) {
  auto card = addTarget(std::nullopt);
  w(0x3B, 0x5A);
  w(0x14, 0x80);
  w(0x1F, 0x79);
  chip.commitLineRate();
  EXPECT_EQ(chip.lineRate(), 115200u);
  load({1, 2});
  w(0x01, 0x2F);
  EXPECT_EQ(r(0x3B), 0x00);
  EXPECT_EQ(r(0x14), 0x58);
  EXPECT_EQ(r(0x37), 0x28);
  EXPECT_EQ(r(0x0A), 0);
  EXPECT_EQ(r(0x01), 0x00);
  EXPECT_EQ(card->fieldResets, 1);
  EXPECT_EQ(chip.lineRate(), 115200u);  // until the echo has gone out
  chip.commitLineRate();
  EXPECT_EQ(chip.lineRate(), 9600u);
}

}  // namespace
}  // namespace kvt::sim
