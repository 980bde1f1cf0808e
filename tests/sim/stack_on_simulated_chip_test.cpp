// The chip stack (RegisterControl, command engine, Transceiver, OperationControl) against the
// simulated chip through the in-process serial line: what the stack reads is what the chip
// machinery produced.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "chip/command_engine.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "chip/transceiver.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"
#include "test_targets.h"

namespace kvt::sim {
namespace {

using chip::AttributeParams;
using chip::Status;
namespace status = chip::status;
using test::FixedAnswerTarget;

class StackOnSimulatedChipTest : public ::testing::Test {
 protected:
  explicit StackOnSimulatedChipTest(ChipConfig config = {}) : chip(config), port(chip) {
    bus.setPort(&port);
    control.Init(&bus);
    transceiver.Init(&control, 1);
    operation.Init(&control);
    adapter = chip::MakeRegisterControlAdapter();
    link.lowerObject = &control;
    adapter.callingObject = &link;
  }

  Status set(uint8_t group, uint8_t attribute, uint8_t value1 = 0, uint8_t value2 = 0,
             uint8_t* buffer = nullptr) {
    params = AttributeParams{group, attribute, value1, value2, buffer, nullptr};
    return operation.SetAttribute(&params);
  }
  Status get(uint8_t group, uint8_t attribute, uint8_t value1 = 0, uint8_t* buffer = nullptr) {
    params = AttributeParams{group, attribute, value1, 0, buffer, nullptr};
    return operation.GetAttribute(&params);
  }
  Status setRegister(uint8_t address, uint8_t value) {
    chip::RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }
  uint8_t getRegister(uint8_t address) {
    chip::RegisterParams p{address, 0, nullptr};
    EXPECT_EQ(control.GetRegister(&p), status::Success);
    return p.value;
  }
  // The card reader's timer: automatic start, about 100 us per tick, `reload` ticks.
  void setTimer(uint8_t reload, uint8_t reloadHigh = 0x00) {
    uint8_t timer[] = {0xA5, 0x02, reload, reloadHigh};
    ASSERT_EQ(set(6, 0, 1, 0, timer), status::Success);
  }
  // CRC generation and checking on or off, type A framing at 106 kbit/s.
  void setCrc(bool on) {
    ASSERT_EQ(setRegister(0x12, on ? 0x80 : 0x00), status::Success);
    ASSERT_EQ(setRegister(0x13, on ? 0x80 : 0x00), status::Success);
  }
  std::shared_ptr<FixedAnswerTarget> addTarget(std::optional<AirFrame> answer, int slot = 0) {
    auto target = std::make_shared<FixedAnswerTarget>(std::move(answer), slot);
    chip.field().add(target);
    return target;
  }
  // A transceive through the engine itself, to see the valid bits of the last byte too.
  Status exchange(std::vector<uint8_t> frame, uint16_t capacity, uint8_t command = 0x0C) {
    sent = std::move(frame);
    answer.assign(64, 0);
    command_ = chip::CommandParams{};
    command_.lower = &adapter;
    command_.command = command;
    command_.startSend = 1;
    command_.sendBuffer = sent.data();
    command_.sendLength = static_cast<uint16_t>(sent.size());
    command_.receiveBuffer = answer.data();
    command_.receiveLength = capacity;
    return chip::ExecuteCommand(&command_);
  }

  Kv380 chip;
  SimulatedPort port;
  chip::SerialBus bus;
  chip::RegisterControl control;
  chip::Transceiver transceiver;
  chip::OperationControl operation;
  chip::UpperLink<chip::IRegisterControl> link;
  chip::RegisterControlRecord adapter{};
  AttributeParams params{};
  std::vector<uint8_t> sent;
  std::vector<uint8_t> answer;
  chip::CommandParams command_{};
};

TEST_F(StackOnSimulatedChipTest, CrcCalculationOf3004Gives0xEE26) {
  uint8_t data[] = {0x30, 0x04};
  EXPECT_EQ(set(7, 3, 2, 0, data), status::Success);
  EXPECT_EQ(params.value1, 0x26);
  EXPECT_EQ(params.value2, 0xEE);
  EXPECT_EQ(get(7, 1), status::Success);
  EXPECT_EQ(params.value1, 0x26);
  EXPECT_EQ(params.value2, 0xEE);
}

TEST_F(StackOnSimulatedChipTest, ConfigurationBufferRoundTrip) {
  uint8_t typeA[6] = {0x44, 0x00, 0x01, 0x02, 0x03, 0x20};
  uint8_t felica[18];
  for (int i = 0; i < 18; ++i) felica[i] = static_cast<uint8_t>(0xF0 ^ i);
  EXPECT_EQ(set(8, 9, 0, 6, typeA), status::Success);
  EXPECT_EQ(set(8, 9, 1, 18, felica), status::Success);
  uint8_t ids[10] = {0xA1, 0xA2, 0xA3, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xC1};
  EXPECT_EQ(set(8, 9, 2, 10, ids), status::Success);

  uint8_t out[18] = {};
  EXPECT_EQ(get(8, 9, 0, out), status::Success);
  EXPECT_EQ(params.value2, 6);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 6),
            (std::vector<uint8_t>{0x44, 0x00, 0xA1, 0xA2, 0xA3, 0x20}));
  EXPECT_EQ(get(8, 9, 1, out), status::Success);
  EXPECT_EQ(params.value2, 18);
  std::vector<uint8_t> expected(felica, felica + 18);
  for (int i = 0; i < 6; ++i) expected[2 + i] = static_cast<uint8_t>(0xB1 + i);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 18), expected);
  EXPECT_EQ(get(8, 9, 2, out), status::Success);
  EXPECT_EQ(params.value2, 10);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 10), std::vector<uint8_t>(ids, ids + 10));

  // New random identifiers replace exactly those ten bytes.
  EXPECT_EQ(set(8, 9, 0xFF, 0), status::Success);
  uint8_t fresh[10] = {};
  EXPECT_EQ(get(8, 9, 2, fresh), status::Success);
  EXPECT_NE(std::vector<uint8_t>(fresh, fresh + 10), std::vector<uint8_t>(ids, ids + 10));
  EXPECT_EQ(get(8, 9, 0, out), status::Success);
  EXPECT_EQ(out[0], 0x44);
  EXPECT_EQ(out[5], 0x20);
}

TEST_F(StackOnSimulatedChipTest, SelfTestPassesAndRestoresTheRegisters) {
  const uint8_t touched[] = {0x15, 0x14, 0x01, 0x27, 0x28, 0x29, 0x32, 0x26};
  ASSERT_EQ(setRegister(0x32, 0x5C), status::Success);
  std::vector<uint8_t> before;
  for (uint8_t address : touched) before.push_back(chip.peek(address));
  EXPECT_EQ(set(3, 5), status::Success);
  EXPECT_EQ(params.value1, 0);
  for (size_t i = 0; i < sizeof touched; ++i) {
    EXPECT_EQ(chip.peek(touched[i]), before[i]) << std::hex << int(touched[i]);
  }
}

class OlderChipStackTest : public StackOnSimulatedChipTest {
 protected:
  OlderChipStackTest() : StackOnSimulatedChipTest(ChipConfig{0x26}) {}
};

TEST_F(OlderChipStackTest, SelfTestUsesTheWindowOfTheVersion) {
  EXPECT_EQ(set(3, 5), status::Success);
  EXPECT_EQ(params.value1, 0);
  EXPECT_EQ(operation.version(), 0x26);
}

TEST_F(StackOnSimulatedChipTest, TransceiveWithAnEmptyFieldEndsByTheChipTimer) {
  setTimer(0x03);
  port.takeTrace();
  const auto start = chip.now();
  uint8_t frame[] = {0x30, 0x04};
  uint8_t buffer[16] = {};
  chip::TransceiveParams p{frame, 2, buffer, sizeof buffer, nullptr};
  EXPECT_EQ(transceiver.Transceive(&p), status::Timeout);
  EXPECT_EQ(p.receiveLength, 0);
  // The chip's 0.4 ms timer ended it within the first polling rounds, not the host's bound.
  EXPECT_LT(chip.now() - start, std::chrono::milliseconds(150));
  EXPECT_LT(port.takeTrace().size(), 200u);
  // Cleaned up: no enables, neither awaited request nor the timer request, an empty FIFO.
  EXPECT_EQ(chip.peek(0x02), 0x00);
  EXPECT_EQ(chip.peek(0x04) & 0x21, 0x00);
  EXPECT_EQ(chip.peek(0x0A), 0);
}

TEST_F(StackOnSimulatedChipTest, TransceiveWithoutARunningTimerEndsByTheHostBound) {
  EXPECT_EQ(set(6, 1, 0), status::Success);  // no automatic start
  const auto start = chip.now();
  uint8_t frame[] = {0x26};
  uint8_t buffer[2] = {};
  chip::TransceiveParams p{frame, 1, buffer, 2, nullptr};
  EXPECT_EQ(transceiver.Transceive(&p), status::Timeout);
  // 3000 polling rounds of four bytes at 9600 bit/s: 12.5 s of line time.
  EXPECT_GT(chip.now() - start, std::chrono::milliseconds(12'400));
  EXPECT_LT(chip.now() - start, std::chrono::milliseconds(12'700));
}

TEST_F(StackOnSimulatedChipTest, SerialSpeedSwitchNeedsTheHostToFollow) {
  EXPECT_EQ(set(2, 1, 4), status::Success);  // echoed at 9600, then the chip switches
  EXPECT_EQ(chip.lineRate(), 115200u);
  port.setLineSettings(115200);
  EXPECT_EQ(get(0, 0), status::Success);
  EXPECT_EQ(params.value1, 0x28);
  port.setLineSettings(9600);
  EXPECT_EQ(get(0, 0), status::SerialInterface);
}

TEST_F(StackOnSimulatedChipTest, AnswerWithCrcReachesTheTransceiveCaller) {
  auto card = addTarget(test::frameWithCrcA({0xDE, 0xAD, 0xBE, 0xEF}));
  setTimer(0x32);
  setCrc(true);
  uint8_t frame[] = {0x30, 0x04};
  uint8_t buffer[16] = {};
  chip::TransceiveParams p{frame, 2, buffer, sizeof buffer, nullptr};
  EXPECT_EQ(transceiver.Transceive(&p), status::Success);
  EXPECT_EQ(p.receiveLength, 4);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 4),
            (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
  ASSERT_EQ(card->heard.size(), 1u);
  EXPECT_EQ(card->heard[0].bytes, (std::vector<uint8_t>{0x30, 0x04, 0x26, 0xEE}));

  // The same answer without CRC checking keeps its CRC bytes; a small buffer cuts it.
  setCrc(false);
  p = chip::TransceiveParams{frame, 2, buffer, 3, nullptr};
  EXPECT_EQ(transceiver.Transceive(&p), status::BufferTooSmall);
  EXPECT_EQ(p.receiveLength, 3);
}

TEST_F(StackOnSimulatedChipTest, AcknowledgementNibbleComesBackAs0x0202) {
  addTarget(test::bitFrame({0x0A}, 4));
  setTimer(0x64);
  setCrc(true);
  EXPECT_EQ(exchange({0xA0, 0x04}, 32), status::AckNakNibble);
  EXPECT_EQ(command_.receiveLength, 1);
  EXPECT_EQ(answer[0], 0x0A);
  EXPECT_EQ(chip.peek(0x06), 0x00);  // the engine cleared the error register
}

TEST_F(StackOnSimulatedChipTest, RxAlignAndValidBitsAsTheAnticollisionReadsThem) {
  // 12 bits known; the card sends the remaining 28 bits (20 of the serial number, then BCC).
  addTarget(test::bitFrame({0x3B, 0xE9, 0x9E, 0x01}, 28));
  setTimer(0x03);
  setCrc(false);
  ASSERT_EQ(setRegister(0x0E, 0x00), status::Success);
  ASSERT_EQ(setRegister(0x0D, 0x44), status::Success);
  EXPECT_EQ(exchange({0x93, 0x34, 0xC4, 0x0B}, 5), status::Success);
  // 4 aligned + 28 bits = 4 complete bytes; the first byte's low 4 bits are empty.
  EXPECT_EQ(command_.receiveLength, 4);
  EXPECT_EQ(command_.receiveLastBits, 0);
  EXPECT_EQ(std::vector<uint8_t>(answer.begin(), answer.begin() + 4),
            (std::vector<uint8_t>{0xB0, 0x93, 0xEE, 0x19}));
}

TEST_F(StackOnSimulatedChipTest, CollisionDeliversTheBitsUpToIt) {
  addTarget(AirFrame::fromBytes({0x88, 0x04, 0x3A, 0x00, 0xB6}));
  addTarget(AirFrame::fromBytes({0x88, 0x0C, 0x3A, 0x00, 0xBE}));
  setTimer(0x03);
  setCrc(false);
  ASSERT_EQ(setRegister(0x0E, 0x00), status::Success);
  EXPECT_EQ(exchange({0x93, 0x20}, 5), status::Collision);
  EXPECT_EQ(command_.receiveLength, 1);  // one complete byte, then 4 bits
  EXPECT_EQ(command_.receiveLastBits, 4);
  EXPECT_EQ(answer[0], 0x88);
  EXPECT_EQ(answer[1], 0x0C);
}

TEST_F(StackOnSimulatedChipTest, CollectUntilTimerGathersFramesOfAllSlots) {
  addTarget(test::frameWithCrcA({0x03, 0x01, 0x11}), 0);
  addTarget(test::frameWithCrcA({0x03, 0x01, 0x22}), 3);
  setTimer(0x64);  // 10 ms: room for the slots
  ASSERT_EQ(setRegister(0x12, 0x92), status::Success);
  ASSERT_EQ(setRegister(0x13, 0x80 | 0x10 | 0x04), status::Success);
  EXPECT_EQ(exchange({0x06, 0x00, 0xFF, 0xFF, 0x00, 0x03}, 32, 0x80), status::Timeout);
  EXPECT_EQ(command_.receiveLength, 8);
  EXPECT_EQ(std::vector<uint8_t>(answer.begin(), answer.begin() + 8),
            (std::vector<uint8_t>{0x03, 0x01, 0x11, 0x00, 0x03, 0x01, 0x22, 0x00}));
}

TEST_F(StackOnSimulatedChipTest, AuthenticateReportsWhetherTheCardAccepted) {
  auto card = addTarget(std::nullopt);
  setTimer(0x64);
  uint8_t block[12] = {0x60, 0x04, 0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42, 0xC4, 0x3B, 0x9E, 0x12};
  chip::FrameParams p{block, 12, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&p), status::AuthenticationFailed);
  card->acceptAuthentication = true;
  EXPECT_EQ(transceiver.Authenticate(&p), status::Success);
  ASSERT_EQ(card->authentications.size(), 2u);
  EXPECT_EQ(card->authentications[1], std::vector<uint8_t>(block, block + 12));
  // A protocol change switches the crypto unit off, and the cards hear of it.
  EXPECT_EQ(set(1, 3, 0, 0), status::Success);
  EXPECT_EQ(card->cryptoOffs, 1);
}

TEST_F(StackOnSimulatedChipTest, TransmitSendsWithoutListening) {
  auto card = addTarget(AirFrame::fromBytes({0x55}));
  setTimer(0x32);
  setCrc(true);
  uint8_t frame[] = {0x50, 0x00};
  chip::FrameParams p{frame, 2, nullptr};
  EXPECT_EQ(transceiver.Transmit(&p), status::Success);
  ASSERT_EQ(card->heard.size(), 1u);
  EXPECT_EQ(card->heard[0].bytes, (std::vector<uint8_t>{0x50, 0x00, 0x57, 0xCD}));
  EXPECT_EQ(chip.peek(0x0A), 0);
}

TEST_F(StackOnSimulatedChipTest, TimerValueCountsDownWhileRunning) {
  setTimer(0xFF, 0x0F);  // 4095 ticks, about 0.4 s
  uint8_t frame[] = {0x01};
  chip::FrameParams p{frame, 1, nullptr};
  ASSERT_EQ(transceiver.Transmit(&p), status::Success);  // its end starts the timer
  ASSERT_EQ(get(6, 6), status::Success);
  const int first = params.value2 << 8 | params.value1;
  ASSERT_EQ(get(6, 6), status::Success);
  const int second = params.value2 << 8 | params.value1;
  EXPECT_GT(first, 0);
  EXPECT_LT(first, 0x0FFF);
  // Four bytes on the line at 9600 bit/s are about 4.2 ms: some 41 ticks.
  EXPECT_NEAR(first - second, 42, 2);
}

}  // namespace
}  // namespace kvt::sim
