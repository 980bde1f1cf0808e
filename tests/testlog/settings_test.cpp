#include <gtest/gtest.h>

#include "app/startup.h"
#include "testlog/test_log_settings.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

using SettingsFileTest = TestLogFixture;

TEST_F(SettingsFileTest, MissingFileOrKeysGiveTheDefaults) {
  TestLogSettings loaded;
  loaded.active = 1;
  loaded.vectorNumber = 77;
  LoadTestLogSettings(loaded, app.startFilePath);
  EXPECT_EQ(loaded.interface, kInterfaceI2C);
  EXPECT_EQ(loaded.i2cAddress, 0x2C);
  EXPECT_EQ(loaded.outputFormat, kFormatATP);
  EXPECT_EQ(loaded.outputFile, "test1.txt");
  EXPECT_EQ(loaded.inputPath, kDefaultInputPath);
#ifndef _WIN32
  EXPECT_EQ(loaded.inputPath, "./");
#endif
  // Neither of these lives in the file.
  EXPECT_EQ(loaded.active, 1);
  EXPECT_EQ(loaded.vectorNumber, 77u);

  WriteFile(app.startFilePath, "3\r\n[TestLog]\r\nOutputFormat=0\r\n");
  LoadTestLogSettings(loaded, app.startFilePath);
  EXPECT_EQ(loaded.outputFormat, kFormatATF);
  EXPECT_EQ(loaded.outputFile, "test1.txt");
}

TEST_F(SettingsFileTest, OddValuesAreReadWithoutHarm) {
  WriteFile(app.startFilePath,
            "7\n[testlog]\ninterface = 2\nI2CADDRESS=300\nOutputFormat=ATF\n"
            "OutputFile= /tmp/my run.atf \nInputPath=\n");
  TestLogSettings loaded;
  LoadTestLogSettings(loaded, app.startFilePath);
  EXPECT_EQ(loaded.interface, 2);
  EXPECT_EQ(loaded.i2cAddress, 300 & 0xFF);
  EXPECT_EQ(loaded.outputFormat, kFormatATP);  // not a number: the default
  EXPECT_EQ(loaded.outputFile, "/tmp/my run.atf");
  EXPECT_EQ(loaded.inputPath, "");

  WriteFile(app.startFilePath, "[TestLog]\nI2CAddress=-1\n");
  LoadTestLogSettings(loaded, app.startFilePath);
  EXPECT_EQ(loaded.i2cAddress, 0xFF);
}

TEST_F(SettingsFileTest, SavedInOrderBesideThePortDigitAndSurviveTheExitRewrite) {
  WriteFile(app.startFilePath, "3\r\n[Ports]\r\nCOM1=sim\r\n");
  TestLogSettings saved;
  saved.interface = kInterfaceSPI;
  saved.i2cAddress = 0x51;
  saved.outputFormat = kFormatATF;
  saved.outputFile = "/data/out 1.atf";
  saved.inputPath = "/data/tpl/";
  ASSERT_TRUE(SaveTestLogSettings(saved, app.startFilePath));
  EXPECT_EQ(ReadFile(app.startFilePath),
            "3\r\n[Ports]\r\nCOM1=sim\r\n[TestLog]\r\nInterface=1\r\nI2CAddress=81\r\n"
            "OutputFormat=0\r\nOutputFile=/data/out 1.atf\r\nInputPath=/data/tpl/\r\n");

  ASSERT_TRUE(app::WritePortIndex(app.startFilePath, 5));
  TestLogSettings loaded;
  LoadTestLogSettings(loaded, app.startFilePath);
  EXPECT_EQ(loaded.interface, saved.interface);
  EXPECT_EQ(loaded.i2cAddress, saved.i2cAddress);
  EXPECT_EQ(loaded.outputFormat, saved.outputFormat);
  EXPECT_EQ(loaded.outputFile, saved.outputFile);
  EXPECT_EQ(loaded.inputPath, saved.inputPath);
  EXPECT_EQ(app::ReadPortIndex(app.startFilePath), 5);
}

TEST_F(SettingsFileTest, APathThatWouldBreakTheFileIsNotWritten) {
  WriteFile(app.startFilePath, "1\n");
  TestLogSettings saved;
  saved.outputFile = "evil\n[Ports]\nCOM1=/dev/sda";
  saved.inputPath = "./";
  EXPECT_FALSE(SaveTestLogSettings(saved, app.startFilePath));
  EXPECT_EQ(ReadFile(app.startFilePath),
            "1\n[TestLog]\nInterface=0\nI2CAddress=0\nOutputFormat=0\nInputPath=./\n");
}

}  // namespace
}  // namespace kvt::testlog::test
