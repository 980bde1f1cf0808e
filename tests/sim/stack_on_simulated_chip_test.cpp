// The chip stack (RegisterControl, Transceiver, OperationControl) against the simulated chip
// through the in-process serial line: what the stack reads is what the chip machinery produced.
// The first tests are of the chip's serial host interface.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "air_helpers.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "chip/transceiver.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"

namespace kvt::sim {
namespace {

using chip::AttributeParams;
using chip::Status;
using test::Bytes;
using test::hex;
namespace status = chip::status;

class StackOnSimulatedChipTest : public ::testing::Test {
 protected:
  explicit StackOnSimulatedChipTest(ChipConfig config = {}) : chip(config), port(chip) {
    bus.setPort(&port);
    control.Init(&bus);
    transceiver.Init(&control, 1);
    operation.Init(&control);
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
    registerStatus = control.GetRegister(&p);
    return p.value;
  }

  Kv380 chip;
  SimulatedPort port;
  chip::SerialBus bus;
  chip::RegisterControl control;
  chip::Transceiver transceiver;
  chip::OperationControl operation;
  AttributeParams params{};
  Status registerStatus = status::Success;
};

// Every write below succeeding shows the chip's echo: the stack checks it.
TEST_F(StackOnSimulatedChipTest, PlainRegistersReadBackButNotTheVersion) {
  EXPECT_EQ(setRegister(0x3B, 0x5A), status::Success);
  EXPECT_EQ(getRegister(0x3B), 0x5A);
  EXPECT_EQ(setRegister(chip::reg::Version, 0x00), status::Success);
  EXPECT_EQ(getRegister(chip::reg::Version), 0x28);
}

TEST_F(StackOnSimulatedChipTest, TestChipTakesTheAddressFromBitsSixToOneAndMirrorsBytes) {
  // A host on the normal layout writes 0x3B; the test chip reads bits 6..1: register 0x1D.
  port.hostInterface().setTestChipLayout(true);
  EXPECT_EQ(setRegister(0x3B, 0x12), status::Success);
  EXPECT_EQ(chip.peek(0x1D), 0x12);
  EXPECT_NE(chip.peek(0x3B), 0x12);
  // Both sides on the test-chip layout with mirrored bytes.
  port.hostInterface().setBitReversed(true);
  bus.setBitReversed(true);
  control.setTestChipAddressing(true);
  EXPECT_EQ(setRegister(0x3B, 0x34), status::Success);
  EXPECT_EQ(getRegister(0x3B), 0x34);
  EXPECT_EQ(chip.peek(0x3B), 0x34);
}

TEST_F(StackOnSimulatedChipTest, ReadTimeOutAdvancesVirtualTimeOnly) {
  const auto before = chip.now();
  uint8_t byte;
  EXPECT_EQ(port.readByte(byte), platform::IoResult::NothingMoved);
  EXPECT_EQ(chip.now() - before, std::chrono::milliseconds(500));
}

TEST_F(StackOnSimulatedChipTest, DisconnectFailsEveryTransfer) {
  port.disconnect();
  getRegister(0x01);
  EXPECT_EQ(registerStatus, status::WaitFailed);
  EXPECT_TRUE(port.lost());
}

// RI is the chip's interrupt output: an enabled request, in either register pair.
TEST_F(StackOnSimulatedChipTest, RingIndicatorShowsEnabledRequestsOnly) {
  EXPECT_EQ(port.ringIndicator(), false);
  setRegister(chip::reg::InterruptRequest1, 0x80 | 0x41);
  EXPECT_EQ(port.ringIndicator(), false);  // pending, not enabled
  setRegister(chip::reg::InterruptEnable1, 0x02);
  EXPECT_EQ(port.ringIndicator(), false);  // enabled, not pending
  setRegister(chip::reg::InterruptEnable1, 0x01);
  EXPECT_EQ(port.ringIndicator(), true);
  setRegister(chip::reg::InterruptRequest1, 0x01);
  EXPECT_EQ(port.ringIndicator(), false);
  setRegister(chip::reg::InterruptEnable2, 0x08);
  setRegister(chip::reg::InterruptRequest2, 0x80 | 0x08);
  EXPECT_EQ(port.ringIndicator(), true);
  port.disconnect();
  EXPECT_EQ(port.ringIndicator(), std::nullopt);
}

// With a clock, the quiet line lets the chip run only when RI is looked at: the bytes
// alone do not run it by the clock, the look catches up on all the time since.
TEST_F(StackOnSimulatedChipTest, LookingAtRingIndicatorRunsTheChipByTheClock) {
  platform::ManualClock clock;
  SimulatedPort clocked(chip, &clock);
  bus.setPort(&clocked);
  setRegister(chip::reg::InterruptEnable1, chip::irq::Timer);
  // Timer: about 100 us per tick, reload 1000 (100.03 ms), started by the receive command.
  for (auto [address, value] : {std::pair{0x2A, 0x82}, {0x2B, 0xA5}, {0x2C, 0x03}, {0x2D, 0xE8}}) {
    setRegister(address, value);
  }
  setRegister(chip::reg::Command, chip::cmd::Receive);
  clock.advance(std::chrono::milliseconds(60));
  getRegister(chip::reg::TimerValueHigh);  // bytes: the 60 ms do not count; 3 ms since the start
  EXPECT_EQ(clocked.ringIndicator(), false);
  clock.advance(std::chrono::milliseconds(90));
  EXPECT_EQ(clocked.ringIndicator(), false);
  clock.advance(std::chrono::milliseconds(10));
  EXPECT_EQ(clocked.ringIndicator(), true);
  EXPECT_EQ(chip.peek(chip::reg::Command) & 0x0F, chip::cmd::Idle);  // the timer ended it
  bus.setPort(&port);
}

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
  Bytes typeA = hex("44 00 01 02 03 20");
  Bytes felica = hex("F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF E0 E1");
  Bytes ids = hex("A1 A2 A3 B1 B2 B3 B4 B5 B6 C1");
  EXPECT_EQ(set(8, 9, 0, 6, typeA.data()), status::Success);
  EXPECT_EQ(set(8, 9, 1, 18, felica.data()), status::Success);
  EXPECT_EQ(set(8, 9, 2, 10, ids.data()), status::Success);
  // The parts share the identifier bytes: the last write wins in every part.
  const std::pair<uint8_t, const char*> parts[] = {
      {0, "44 00 A1 A2 A3 20"},
      {1, "F0 F1 B1 B2 B3 B4 B5 B6 F8 F9 FA FB FC FD FE FF E0 E1"},
      {2, "A1 A2 A3 B1 B2 B3 B4 B5 B6 C1"}};
  for (const auto& [part, expected] : parts) {
    uint8_t out[18] = {};
    EXPECT_EQ(get(8, 9, part, out), status::Success);
    EXPECT_EQ(Bytes(out, out + params.value2), hex(expected)) << int(part);
  }
  // New random identifiers replace exactly those ten bytes.
  EXPECT_EQ(set(8, 9, 0xFF, 0), status::Success);
  uint8_t out[18] = {};
  EXPECT_EQ(get(8, 9, 2, out), status::Success);
  EXPECT_NE(Bytes(out, out + 10), ids);
  EXPECT_EQ(get(8, 9, 0, out), status::Success);
  EXPECT_EQ(out[0], 0x44);
  EXPECT_EQ(out[5], 0x20);
}

TEST_F(StackOnSimulatedChipTest, SelfTestPassesAndRestoresTheRegisters) {
  const uint8_t touched[] = {0x15, 0x14, 0x01, 0x27, 0x28, 0x29, 0x32, 0x26};
  chip.poke(0x32, 0x5C);
  Bytes before;
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
  uint8_t timer[] = {0xA5, 0x02, 0x03, 0x00};  // automatic start, 3 ticks of about 100 us
  ASSERT_EQ(set(6, 0, 1, 0, timer), status::Success);
  port.setTracing(true);
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
  platform::ManualClock host;  // the host's time stands still: only the rounds bound the wait
  transceiver.setClock(&host);
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

}  // namespace
}  // namespace kvt::sim
