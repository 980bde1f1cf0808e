#include <gtest/gtest.h>

#include "chip/register_control.h"
#include "chip/registers.h"
#include "sim/simulated_port.h"

namespace kvt::sim {
namespace {

using chip::status::Success;

// The register stack on the simulated chip's serial host interface.
class SimulatedChipTest : public ::testing::Test {
 protected:
  SimulatedChipTest() : port(chip) {
    bus.setPort(&port);
    control.Init(&bus);
  }
  chip::Status set(uint8_t address, uint8_t value) {
    chip::RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }
  uint8_t get(uint8_t address) {
    chip::RegisterParams p{address, 0, nullptr};
    status = control.GetRegister(&p);
    return p.value;
  }

  Kv380 chip;
  SimulatedPort port;
  chip::SerialBus bus;
  chip::RegisterControl control;
  chip::Status status = Success;
};

// Every write below succeeding shows the chip's echo: the stack checks it.
TEST_F(SimulatedChipTest, PlainRegistersReadBackButNotTheVersion) {
  EXPECT_EQ(set(0x3B, 0x5A), Success);
  EXPECT_EQ(get(0x3B), 0x5A);
  EXPECT_EQ(set(chip::reg::Version, 0x00), Success);
  EXPECT_EQ(get(chip::reg::Version), 0x28);
}

TEST_F(SimulatedChipTest, TestChipTakesTheAddressFromBitsSixToOneAndMirrorsBytes) {
  // A host on the normal layout writes 0x3B; the test chip reads bits 6..1: register 0x1D.
  port.hostInterface().setTestChipLayout(true);
  EXPECT_EQ(set(0x3B, 0x12), Success);
  EXPECT_EQ(chip.peek(0x1D), 0x12);
  EXPECT_NE(chip.peek(0x3B), 0x12);
  // Both sides on the test-chip layout with mirrored bytes.
  port.hostInterface().setBitReversed(true);
  bus.setBitReversed(true);
  control.setTestChipAddressing(true);
  EXPECT_EQ(set(0x3B, 0x34), Success);
  EXPECT_EQ(get(0x3B), 0x34);
  EXPECT_EQ(chip.peek(0x3B), 0x34);
}

TEST_F(SimulatedChipTest, ReadTimeOutAdvancesVirtualTimeOnly) {
  const auto before = chip.now();
  uint8_t byte;
  EXPECT_EQ(port.readByte(byte), platform::IoResult::NothingMoved);
  EXPECT_EQ(chip.now() - before, std::chrono::milliseconds(500));
}

TEST_F(SimulatedChipTest, DisconnectFailsEveryTransfer) {
  port.disconnect();
  get(0x01);
  EXPECT_EQ(status, chip::status::WaitFailed);
  EXPECT_TRUE(port.lost());
}

TEST_F(SimulatedChipTest, RingIndicatorIsDrivable) {
  EXPECT_EQ(port.ringIndicator(), std::nullopt);
  port.setRingIndicator(true);
  EXPECT_EQ(port.ringIndicator(), true);
  bool level = false;
  port.setRingIndicatorSource([&] { return std::optional<bool>(level); });
  EXPECT_EQ(port.ringIndicator(), false);
  level = true;
  EXPECT_EQ(port.ringIndicator(), true);
}

}  // namespace
}  // namespace kvt::sim
