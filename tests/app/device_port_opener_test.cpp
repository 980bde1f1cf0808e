#include "app/device_port_opener.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "app_fixture.h"

namespace kvt::app {
namespace {

class DevicePortOpenerTest : public ::testing::Test {
 protected:
  DevicePortOpenerTest() {
    std::ofstream(startFile) << "0\n[Ports]\nCOM2=sim\nCOM3=" << (folder.path / "nothing").string()
                             << "\n";
  }
  test::TempFolder folder;
  std::string startFile = (folder.path / "kvt_start.cfg").string();
  DevicePortOpener opener{startFile};
};

TEST(PortNameIndex, AcceptsOnlyTheEightNames) {
  EXPECT_EQ(PortNameIndex("COM1:"), 0);
  EXPECT_EQ(PortNameIndex("COM8:"), 7);
  for (const char* name : {"COM9:", "COM0:", "COM1", "com1:"}) {
    EXPECT_EQ(PortNameIndex(name), -1) << name;
  }
}

TEST_F(DevicePortOpenerTest, TheSimDeviceIsOneChipThatOutlivesItsPorts) {
  int setups = 0;
  opener.setSimulatorSetup([&setups](sim::Kv380&) { ++setups; });
  EXPECT_EQ(opener.describe("COM2:"), "sim");
  EXPECT_EQ(opener.verify("COM2:"), 0);

  chip::SerialBus bus;
  chip::RegisterControl registers;
  registers.Init(&bus);
  chip::RegisterParams params{0x3F, 0x17, nullptr};
  {
    auto opened = opener.open("COM2:");
    ASSERT_NE(opened.port, nullptr);
    bus.setPort(opened.port.get());
    EXPECT_EQ(registers.SetRegister(&params), chip::status::Success);
    bus.setPort(nullptr);
  }
  auto again = opener.open("COM2:");
  ASSERT_NE(again.port, nullptr);
  bus.setPort(again.port.get());
  params.value = 0;
  EXPECT_EQ(registers.GetRegister(&params), chip::status::Success);
  EXPECT_EQ(params.value, 0x17);  // the chip kept its register across the reopen
  EXPECT_EQ(setups, 1);
  bus.setPort(nullptr);
}

TEST_F(DevicePortOpenerTest, AMissingDeviceFailsWithItsErrorCodeUnlessOverridden) {
  auto opened = opener.open("COM3:");
  EXPECT_EQ(opened.port, nullptr);
  EXPECT_EQ(opened.errorCode, ENOENT);
  EXPECT_EQ(opener.verify("COM3:"), ENOENT);
  EXPECT_EQ(opener.open("LPT1:").port, nullptr);

  opener.setDeviceOverride("sim");
  EXPECT_EQ(opener.describe("COM3:"), "sim");
  EXPECT_NE(opener.open("COM3:").port, nullptr);
  opener.setDeviceOverride("");
  EXPECT_EQ(opener.open("COM3:").port, nullptr);
}

}  // namespace
}  // namespace kvt::app
