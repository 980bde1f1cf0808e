#include "app/device_port_opener.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "sim/simulated_port.h"

namespace kvt::app {
namespace {

class DevicePortOpenerTest : public ::testing::Test {
 protected:
  DevicePortOpenerTest() {
    dir_ = std::filesystem::temp_directory_path() /
           ("kvt_opener_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
    startFile_ = (dir_ / "kvt_start.cfg").string();
    std::ofstream(startFile_) << "0\n[Ports]\nCOM2=sim\nCOM3=" << (dir_ / "nothing").string()
                              << "\n";
  }
  ~DevicePortOpenerTest() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  std::string startFile_;
};

TEST(PortNameIndex, AcceptsOnlyTheEightNames) {
  EXPECT_EQ(PortNameIndex("COM1:"), 0);
  EXPECT_EQ(PortNameIndex("COM8:"), 7);
  EXPECT_EQ(PortNameIndex("COM9:"), -1);
  EXPECT_EQ(PortNameIndex("COM0:"), -1);
  EXPECT_EQ(PortNameIndex("COM1"), -1);
  EXPECT_EQ(PortNameIndex("com1:"), -1);
}

TEST_F(DevicePortOpenerTest, TheSimDeviceIsOneChipThatOutlivesItsPorts) {
  DevicePortOpener opener(startFile_);
  int setups = 0;
  opener.setSimulatorSetup([&setups](sim::Kv380& chip) {
    ++setups;
    chip.poke(0x3F, 0x42);
  });
  EXPECT_EQ(opener.describe("COM2:"), "sim");
  EXPECT_EQ(opener.verify("COM2:"), 0);

  chip::SerialBus bus;
  chip::RegisterControl registers;
  registers.Init(&bus);
  {
    auto opened = opener.open("COM2:");
    ASSERT_NE(opened.port, nullptr);
    bus.setPort(opened.port.get());
    chip::RegisterParams params{0x3F, 0, nullptr};
    EXPECT_EQ(registers.GetRegister(&params), chip::status::Success);
    EXPECT_EQ(params.value, 0x42);
    params.value = 0x17;
    EXPECT_EQ(registers.SetRegister(&params), chip::status::Success);
    bus.setPort(nullptr);
  }
  auto again = opener.open("COM2:");
  ASSERT_NE(again.port, nullptr);
  bus.setPort(again.port.get());
  chip::RegisterParams params{0x3F, 0, nullptr};
  EXPECT_EQ(registers.GetRegister(&params), chip::status::Success);
  EXPECT_EQ(params.value, 0x17);  // the chip kept its register across the reopen
  EXPECT_EQ(setups, 1);
  bus.setPort(nullptr);
}

TEST_F(DevicePortOpenerTest, AMissingDeviceFailsWithItsErrorCode) {
  DevicePortOpener opener(startFile_);
  auto opened = opener.open("COM3:");
  EXPECT_EQ(opened.port, nullptr);
  EXPECT_EQ(opened.errorCode, ENOENT);
  EXPECT_EQ(opener.verify("COM3:"), ENOENT);
  EXPECT_EQ(opener.open("LPT1:").port, nullptr);
}

TEST_F(DevicePortOpenerTest, AnOverrideSendsEveryNameToOneDevice) {
  DevicePortOpener opener(startFile_);
  opener.setDeviceOverride("sim");
  EXPECT_EQ(opener.describe("COM3:"), "sim");
  EXPECT_NE(opener.open("COM3:").port, nullptr);
  opener.setDeviceOverride("");
  EXPECT_EQ(opener.open("COM3:").port, nullptr);
}

}  // namespace
}  // namespace kvt::app
