#include "chip/iso14443a.h"

#include <gtest/gtest.h>

#include "chip/crc_a.h"
#include "chip/serial_bus.h"
#include "support/scripted_port.h"
#include "transceive_script.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

// Register traffic of the type A layer on a scripted line, byte for byte.
class Iso14443ATest : public ::testing::Test {
 protected:
  Iso14443ATest() : script(port) {
    bus.setPort(&port);
    control.Init(&bus);
    iso.Init(&control, 1);
  }

  // A request whose transceive finds `fifo` with `lastBits` and `error`; `status2` and `crc`
  // are the values the chip's status register 2 and CRC registers hold before.
  Status request(uint8_t code, const Bytes& fifo, uint8_t lastBits, uint8_t error,
                 uint8_t status2 = 0x00, uint8_t crc = 0x00) {
    script.modify(0x08, status2, 0x08, false).write(0x0E, 0x80);
    script.modify(0x12, crc, 0x80, false).modify(0x13, crc, 0x80, false);
    script.write(0x0D, 0x07);
    script.transceive({code}, 0x07, fifo, lastBits, error, 2);
    script.write(0x0D, 0x00);
    RequestParams p{code, atqa, nullptr};
    return iso.RequestA(&p);
  }
  // A level's anticollision: CRC off, no collision position, framing `bitFraming`; then the
  // anticollision frame `send` finding `fifo` in the FIFO.
  void anticollisionRound(uint8_t bitFraming, const Bytes& send, const Bytes& fifo,
                          uint8_t lastBits = 0, uint8_t error = 0) {
    script.modify(0x12, 0x80, 0x80, false).modify(0x13, 0x80, 0x80, false).write(0x0E, 0x00);
    script.write(0x0D, bitFraming);
    script.transceive(send, bitFraming, fifo, lastBits, error, 5);
  }
  void anticollisionEnd() { script.write(0x0D, 0x00).write(0x0E, 0x80); }
  // A select of `serial` answered by `sak` (the chip has checked and stripped the CRC).
  void selectRound(uint8_t code, const Bytes& serial, uint8_t sak) {
    script.modify(0x12, 0x00, 0x80, true).modify(0x13, 0x00, 0x80, true);
    script.transceive({code, 0x70, serial[0], serial[1], serial[2], serial[3], bcc(serial.data())},
                      0x00, {sak}, 0, 0, 1);
  }
  Status anticollisionSelect(uint8_t knownBits = 0) {
    params = {0x93, serial, knownBits, 0, 0, nullptr};
    return iso.AnticollisionSelect(&params);
  }
  void expectTrafficAsScripted() {
    EXPECT_EQ(port.written(), script.expected());
    EXPECT_EQ(port.timedOutReads(), 0);
  }

  test::ScriptedPort port;
  test::TransceiveScript script;
  SerialBus bus;
  RegisterControl control;
  Iso14443A iso;
  uint8_t atqa[2] = {0xFF, 0xFF};
  uint8_t serial[12] = {};
  AnticollisionParams params{};
};

TEST_F(Iso14443ATest, RequestSendsASevenBitShortFrameAndKeepsOnlyAWholeAtqa) {
  EXPECT_EQ(request(0x26, {0x04, 0x00}, 0, 0, 0x08, 0x80), status::Success);
  EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x04, 0x00}));
  EXPECT_EQ(request(0x52, {0x44, 0x00}, 0, 0x08), status::Collision);
  EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x44, 0x00}));  // collided, but two whole bytes
  EXPECT_EQ(request(0x52, {0x44}, 0, 0x08), status::ProtocolError);
  EXPECT_EQ(Bytes(atqa, atqa + 2), (Bytes{0x00, 0x00}));
  EXPECT_EQ(request(0x52, {0x04, 0x03}, 4, 0), status::ProtocolError);  // last byte incomplete
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, CollisionAtBitTwelveContinuesWithNvb34) {
  // Round 1: the first 12 bits arrive (the 12th collided), 4 valid bits in the second byte.
  anticollisionRound(0x00, {0x93, 0x20}, {0x11, 0x0A}, 4, 0x08);
  // Round 2: 12 bits known: two serial bytes, the last one with 4 bits, answer aligned at 4.
  script.write(0x0D, 0x44);
  script.transceive({0x93, 0x34, 0x11, 0x0A}, 0x44, {0x20, 0x33, 0x44, 0x11 ^ 0x2A ^ 0x33 ^ 0x44},
                    0, 0, 5);
  anticollisionEnd();
  selectRound(0x93, {0x11, 0x2A, 0x33, 0x44}, 0x08);
  EXPECT_EQ(anticollisionSelect(), status::Success);
  EXPECT_EQ(Bytes(serial, serial + 4), (Bytes{0x11, 0x2A, 0x33, 0x44}));
  EXPECT_EQ(params.collisionFlags, 0x01);
  EXPECT_EQ(params.knownBits, 32);
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, CollisionRoundWithoutNewBitsEndsWithBitCountError) {
  serial[0] = 0x11;
  serial[1] = 0x0A;
  // Only the 4 aligned bits of the first byte: the collision brought nothing new.
  anticollisionRound(0x44, {0x93, 0x34, 0x11, 0x0A}, {0x00}, 4, 0x08);
  anticollisionEnd();
  EXPECT_EQ(anticollisionSelect(12), status::BitCountError);
  EXPECT_EQ(params.collisionFlags, 0x01);
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, ShortAnswerWithoutCollisionIsABitCountError) {
  anticollisionRound(0x00, {0x93, 0x20}, {0x01, 0x02, 0x03, 0x04});  // no check byte
  anticollisionEnd();
  EXPECT_EQ(anticollisionSelect(), status::BitCountError);
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, KnownLevelsAreOnlySelected) {
  const Bytes level1{0x88, 0x04, 0x51, 0x62};
  const Bytes level2{0x73, 0x84, 0x95, 0xA6};
  std::copy(level1.begin(), level1.end(), serial);
  selectRound(0x93, level1, 0x04);
  anticollisionRound(0x00, {0x95, 0x20}, {0x73, 0x84, 0x95, 0xA6, bcc(level2.data())});
  anticollisionEnd();
  selectRound(0x95, level2, 0x08);
  EXPECT_EQ(anticollisionSelect(32), status::Success);
  EXPECT_EQ(params.knownBits, 64);
  EXPECT_EQ(Bytes(serial, serial + 8), (Bytes{0x88, 0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6}));
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, SelectChecksKnownBitsBeforeAnyTraffic) {
  for (uint8_t known : {40, 8, 31, 128}) {
    params = {0x93, serial, known, 0, 0, nullptr};
    EXPECT_EQ(iso.Select(&params), status::InvalidParameter) << int(known);
  }
  params = {0x93, serial, 0, 0, 0, nullptr};
  EXPECT_EQ(iso.Select(&params), status::Success);
  EXPECT_TRUE(port.written().empty());

  const Bytes uid{0xC4, 0x3B, 0x9E, 0x12};
  std::copy(uid.begin(), uid.end(), serial);
  selectRound(0x93, uid, 0x08);
  params = {0x93, serial, 32, 0, 0, nullptr};
  EXPECT_EQ(iso.Select(&params), status::Success);
  EXPECT_EQ(params.sak, 0x08);
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, HaltTakesSilenceAsSuccess) {
  script.transceiveSilent({0x50, 0x00});
  script.transceive({0x50, 0x00}, 0x00, {0x0A}, 4, 0, 0);
  HaltParams p{nullptr, 0, nullptr};
  EXPECT_EQ(iso.HaltA(&p), status::Success);
  EXPECT_EQ(iso.HaltA(&p), status::BufferTooSmall);  // a card answered
  expectTrafficAsScripted();
}

TEST_F(Iso14443ATest, TargetModeRefusesReaderOperationsAndHaltRearmsAnticollision) {
  iso.Init(&control, 0);
  RequestParams request{0x26, atqa, nullptr};
  params = {0x93, serial, 0, 0, 0, nullptr};
  EXPECT_EQ(iso.RequestA(&request), status::WaitFailed);
  EXPECT_EQ(iso.AnticollisionSelect(&params), status::WaitFailed);
  EXPECT_EQ(iso.Select(&params), status::WaitFailed);
  uint8_t other[2] = {0x50, 0x01};
  HaltParams wrong{other, 2, nullptr};
  EXPECT_EQ(iso.HaltA(&wrong), status::UnexpectedAnswer);
  EXPECT_TRUE(port.written().empty());

  script.modify(0x1C, 0x40, 0x04, true).write(0x01, 0x0D);
  uint8_t halt[2] = {0x50, 0x00};
  HaltParams p{halt, 2, nullptr};
  EXPECT_EQ(iso.HaltA(&p), status::Success);
  expectTrafficAsScripted();
}

}  // namespace
}  // namespace kvt::chip
