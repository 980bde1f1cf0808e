// The chip stack against the simulated chip where time or chance matter; the rest of the
// stack's cases on the simulated chip are operation scripts (tests/chip/ops).
#include <gtest/gtest.h>

#include "air_helpers.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "sim/iso14443a_card.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"

namespace kvt::sim {
namespace {

using chip::AttributeParams;
using test::Bytes;
namespace status = chip::status;

class StackOnSimulatedChipTest : public ::testing::Test {
 protected:
  StackOnSimulatedChipTest() : port(chip) {
    bus.setPort(&port);
    control.Init(&bus);
    operation.Init(&control);
  }
  void setRegister(uint8_t address, uint8_t value) {
    chip::RegisterParams p{address, value, nullptr};
    EXPECT_EQ(control.SetRegister(&p), status::Success);
  }
  chip::Status attribute(bool set, uint8_t value1, uint8_t value2, uint8_t* buffer) {
    params = AttributeParams{8, 9, value1, value2, buffer, nullptr};
    return set ? operation.SetAttribute(&params) : operation.GetAttribute(&params);
  }

  Kv380 chip;
  SimulatedPort port;
  chip::SerialBus bus;
  chip::RegisterControl control;
  chip::OperationControl operation;
  AttributeParams params{};
};

TEST_F(StackOnSimulatedChipTest, ReadTimeOutAdvancesVirtualTimeOnly) {
  const auto before = chip.now();
  uint8_t byte;
  EXPECT_EQ(port.readByte(byte), platform::IoResult::NothingMoved);
  EXPECT_EQ(chip.now() - before, std::chrono::milliseconds(500));
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
  chip::RegisterParams timer{chip::reg::TimerValueHigh, 0, nullptr};
  control.GetRegister(&timer);  // bytes: the 60 ms do not count; 3 ms since the start
  EXPECT_EQ(clocked.ringIndicator(), false);
  clock.advance(std::chrono::milliseconds(90));
  EXPECT_EQ(clocked.ringIndicator(), false);
  clock.advance(std::chrono::milliseconds(10));
  EXPECT_EQ(clocked.ringIndicator(), true);
  EXPECT_EQ(chip.peek(chip::reg::Command) & 0x0F, chip::cmd::Idle);  // the timer ended it
  bus.setPort(&port);
}

// New random identifiers replace exactly the ten identifier bytes.
TEST_F(StackOnSimulatedChipTest, RandomIdentifiersReplaceOnlyTheIdentifierBytes) {
  Bytes typeA = test::hex("44 00 01 02 03 20");
  Bytes ids = test::hex("A1 A2 A3 B1 B2 B3 B4 B5 B6 C1");
  ASSERT_EQ(attribute(true, 0, 6, typeA.data()), status::Success);
  ASSERT_EQ(attribute(true, 2, 10, ids.data()), status::Success);
  ASSERT_EQ(attribute(true, 0xFF, 0, nullptr), status::Success);
  uint8_t out[18] = {};
  EXPECT_EQ(attribute(false, 2, 0, out), status::Success);
  EXPECT_NE(Bytes(out, out + 10), ids);
  EXPECT_EQ(attribute(false, 0, 0, out), status::Success);
  EXPECT_EQ(out[0], 0x44);
  EXPECT_EQ(out[5], 0x20);
}

TEST(Iso14443ACardTest, OnlyUidsOfFourSevenOrTenBytes) {
  EXPECT_THROW(Iso14443ACard({1, 2, 3}), std::invalid_argument);
}

}  // namespace
}  // namespace kvt::sim
