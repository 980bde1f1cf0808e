#include <gtest/gtest.h>

#include "app/startup.h"
#include "testlog/test_log_settings.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

// The settings the section [TestLog] holds, in its order.
std::string stored(const TestLogSettings& s) {
  return std::to_string(s.interface) + "|" + std::to_string(s.i2cAddress) + "|" +
         std::to_string(s.outputFormat) + "|" + s.outputFile + "|" + s.inputPath;
}

class SettingsFileTest : public TestLogFixture {
 protected:
  TestLogSettings load(const std::string& content) {
    WriteFile(app.startFilePath, content);
    TestLogSettings loaded;
    LoadTestLogSettings(loaded, app.startFilePath);
    return loaded;
  }
};

TEST_F(SettingsFileTest, MissingFileOrKeysGiveTheDefaults) {
  TestLogSettings loaded;
  loaded.active = 1;
  loaded.vectorNumber = 77;
  LoadTestLogSettings(loaded, app.startFilePath);
  EXPECT_EQ(stored(loaded), "0|44|1|test1.txt|" + std::string(kDefaultInputPath));
#ifndef _WIN32
  EXPECT_EQ(loaded.inputPath, "./");
#endif
  // Neither of these lives in the file.
  EXPECT_EQ(loaded.active, 1);
  EXPECT_EQ(loaded.vectorNumber, 77u);
  EXPECT_EQ(stored(load("3\r\n[TestLog]\r\nOutputFormat=0\r\n")),
            "0|44|0|test1.txt|" + std::string(kDefaultInputPath));
}

TEST_F(SettingsFileTest, OddValuesAreReadWithoutHarm) {
  // Section and keys in any case; a format that is no number gives the default.
  EXPECT_EQ(stored(load("7\n[testlog]\ninterface = 2\nI2CADDRESS=301\nOutputFormat=ATF\n"
                        "OutputFile= /tmp/my run.atf \nInputPath=\n")),
            "2|45|1|/tmp/my run.atf|");
  EXPECT_EQ(load("[TestLog]\nI2CAddress=-1\n").i2cAddress, 0xFF);
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
  EXPECT_EQ(stored(loaded), stored(saved));
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
