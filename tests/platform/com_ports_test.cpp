#include "platform/com_ports.h"

#include "start_file_fixture.h"

namespace kvt::platform {
namespace {

using ComPortsTest = test::StartFileTest;

TEST_F(ComPortsTest, ThePortsSectionMapsNamesToDevicesAndEachOtherPortOpensItsSerialDevice) {
  EXPECT_EQ(deviceForPort(0, file_), "/dev/ttyS0");  // no start-up file
  put("2\r\n[ports]\r\ncom1 = /dev/ttyUSB0\r\nCOM2=sim\r\nCOM3=\r\n[TestLog]\r\nCOM4=/dev/x\r\n"
      "[Ports]\r\nCOM0=/dev/ttyUSB1\r\nCOM9=/dev/ttyUSB2\r\n");
  EXPECT_EQ(deviceForPort(0, file_), "/dev/ttyUSB0");
  EXPECT_EQ(deviceForPort(1, file_), "sim");
  EXPECT_EQ(deviceForPort(2, file_), "/dev/ttyS2");  // an empty entry means the default
  EXPECT_EQ(deviceForPort(3, file_), "/dev/ttyS3");  // keys of other sections don't count
  for (int index = 4; index < kPortCount; ++index) {
    EXPECT_EQ(deviceForPort(index, file_), "/dev/ttyS" + std::to_string(index));
  }
  EXPECT_EQ(deviceForPort(-1, file_), "");  // outside the eight ports: nothing
  EXPECT_EQ(deviceForPort(8, file_), "");
}

}  // namespace
}  // namespace kvt::platform
