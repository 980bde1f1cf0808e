#include "app/device_port_opener.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "app_fixture.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"

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
  sim::Kv380 chip;
};

TEST_F(DevicePortOpenerTest, AMissingDeviceFailsWithItsErrorCodeUnlessOverridden) {
  auto opened = opener.open("COM3:");
  EXPECT_EQ(opened.port, nullptr);
  EXPECT_EQ(opened.errorCode, ENOENT);
  EXPECT_EQ(opener.verify("COM3:"), ENOENT);
  EXPECT_EQ(opener.open("LPT1:").port, nullptr);

  opener.setDeviceOverride("sim");
  EXPECT_EQ(opener.describe("COM3:"), "sim");
  EXPECT_EQ(opener.open("COM3:").port, nullptr);  // no simulated chip handed in
  opener.setSimulatedPorts([this] { return std::make_unique<sim::SimulatedPort>(chip); });
  EXPECT_NE(opener.open("COM3:").port, nullptr);
  opener.setDeviceOverride("");
  EXPECT_EQ(opener.open("COM3:").port, nullptr);
}

}  // namespace
}  // namespace kvt::app
