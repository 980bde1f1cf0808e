#include "platform/com_ports.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace kvt::platform {
namespace {

namespace fs = std::filesystem;

class ComPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kvt-ports-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    startFile_ = (dir_ / "kvt_start.cfg").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void put(const std::string& content) { std::ofstream(startFile_, std::ios::binary) << content; }

  fs::path dir_;
  std::string startFile_;
};

TEST_F(ComPortsTest, WithoutEntriesEachPortOpensItsSerialDevice) {
  for (int index = 0; index < kPortCount; ++index) {
    EXPECT_EQ(deviceForPort(index, startFile_), "/dev/ttyS" + std::to_string(index));
  }
}

TEST_F(ComPortsTest, ThePortsSectionMapsNamesToDevices) {
  put("2\r\n[ports]\r\ncom1 = /dev/ttyUSB0\r\nCOM2=sim\r\nCOM3=\r\n[TestLog]\r\nCOM4=/dev/x\r\n");
  EXPECT_EQ(deviceForPort(0, startFile_), "/dev/ttyUSB0");
  EXPECT_EQ(deviceForPort(1, startFile_), "sim");
  EXPECT_EQ(deviceForPort(1, startFile_), kSimulatedDevice);
  EXPECT_EQ(deviceForPort(2, startFile_), "/dev/ttyS2");  // an empty entry means the default
  EXPECT_EQ(deviceForPort(3, startFile_), "/dev/ttyS3");  // keys of other sections don't count
  EXPECT_EQ(deviceForPort(7, startFile_), "/dev/ttyS7");
}

TEST_F(ComPortsTest, AnIndexOutsideTheEightPortsOpensNothing) {
  put("[Ports]\nCOM0=/dev/ttyUSB0\nCOM9=/dev/ttyUSB1\n");
  EXPECT_EQ(deviceForPort(-1, startFile_), "");
  EXPECT_EQ(deviceForPort(8, startFile_), "");
}

}  // namespace
}  // namespace kvt::platform
