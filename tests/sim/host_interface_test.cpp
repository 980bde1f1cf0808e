#include <gtest/gtest.h>

#include "chip/register_control.h"
#include "chip/registers.h"
#include "sim/simulated_port.h"

namespace kvt::sim {
namespace {

using chip::RegisterParams;
using chip::status::SerialInterface;
using chip::status::Success;

class SimulatedChipTest : public ::testing::Test {
 protected:
  SimulatedChipTest() : port(chip) {
    bus.setPort(&port);
    control.Init(&bus);
  }
  chip::Status set(uint8_t address, uint8_t value) {
    RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }
  uint8_t get(uint8_t address, chip::Status* result = nullptr) {
    RegisterParams p{address, 0, nullptr};
    chip::Status s = control.GetRegister(&p);
    if (result) *result = s;
    return p.value;
  }

  Kv380 chip;
  SimulatedPort port;
  chip::SerialBus bus;
  chip::RegisterControl control;
};

TEST_F(SimulatedChipTest, PlainRegistersReadBackAndVersionIsFixed) {
  EXPECT_EQ(set(0x3B, 0x5A), Success);
  EXPECT_EQ(get(0x3B), 0x5A);
  EXPECT_EQ(get(chip::reg::Version), 0x28);
  EXPECT_EQ(set(chip::reg::Version, 0x00), Success);
  EXPECT_EQ(get(chip::reg::Version), 0x28);
}

TEST_F(SimulatedChipTest, WriteIsEchoedOnTheLine) {
  port.takeTrace();
  EXPECT_EQ(set(0x3F, 0x3F), Success);
  auto trace = port.takeTrace();
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_TRUE(trace[0].fromHost);
  EXPECT_EQ(trace[0].byte, 0x3F);
  EXPECT_EQ(trace[1].byte, 0x3F);
  EXPECT_FALSE(trace[2].fromHost);
  EXPECT_EQ(trace[2].byte, 0x3F);
}

TEST_F(SimulatedChipTest, TestChipLayoutAndMirroringOnBothSides) {
  port.hostInterface().setTestChipLayout(true);
  port.hostInterface().setBitReversed(true);
  bus.setBitReversed(true);
  control.setTestChipAddressing(true);
  EXPECT_EQ(set(0x3B, 0x12), Success);
  EXPECT_EQ(get(0x3B), 0x12);
  EXPECT_EQ(chip.peek(0x3B), 0x12);
}

TEST_F(SimulatedChipTest, TestChipDecodesAddressFromBitsSixToOne) {
  // A host on the normal layout writes 0x3B; the test chip reads bits 6..1: register 0x1D.
  port.hostInterface().setTestChipLayout(true);
  EXPECT_EQ(set(0x3B, 0x12), Success);
  EXPECT_EQ(chip.peek(0x1D), 0x12);
  EXPECT_NE(chip.peek(0x3B), 0x12);
}

TEST_F(SimulatedChipTest, VersionIsConfigurable) {
  Kv380 other(ChipConfig{0x26});
  EXPECT_EQ(other.peek(chip::reg::Version), 0x26);
}

TEST_F(SimulatedChipTest, SerialSpeedSwitchesAfterTheEcho) {
  EXPECT_EQ(set(chip::reg::SerialSpeed, chip::kSerialSpeed115200), Success);
  // The host still at 9600 is garbage to the chip now.
  chip::Status s;
  get(0x3B, &s);
  EXPECT_EQ(s, SerialInterface);
  port.setLineSettings(115200);
  EXPECT_EQ(set(0x3B, 0x44), Success);
  EXPECT_EQ(get(0x3B), 0x44);
  EXPECT_EQ(chip.lineRate(), 115200u);
}

TEST_F(SimulatedChipTest, ReadTimeOutAdvancesVirtualTimeOnly) {
  const auto before = chip.now();
  uint8_t byte;
  EXPECT_EQ(port.readByte(byte), platform::IoResult::NothingMoved);
  EXPECT_EQ(chip.now() - before, std::chrono::milliseconds(500));
}

TEST_F(SimulatedChipTest, DisconnectFailsEveryTransfer) {
  port.disconnect();
  chip::Status s;
  get(0x01, &s);
  EXPECT_EQ(s, chip::status::WaitFailed);
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
