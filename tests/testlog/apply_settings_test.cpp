#include "testlog/apply_settings.h"

#include <gtest/gtest.h>

#include "testlog/atf_generator.h"
#include "testlog/atp_generator.h"
#include "testlog/test_log_subsystem.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

class ApplySettingsTest : public TestLogFixture {
 protected:
  ApplySettingsTest() {
    settings.active = 1;
    settings.interface = kInterfaceI2C;
    settings.outputFormat = kFormatATF;
  }
  std::string defaultAtfHeader() const {
    TestLogSettings copy = settings;
    copy.vectorNumber = 1;
    return atf::DefaultHeader(copy, kTime);
  }
};

TEST_F(ApplySettingsTest, NewActiveFileGetsExactlyTheHeaderOnce) {
  ApplyTestLogSettings(context, kTime);
  EXPECT_EQ(outputText(), defaultAtfHeader());
  EXPECT_EQ(settings.vectorNumber, 5u);  // the four header vectors are numbered
  EXPECT_TRUE(app.testLogHooks.writeHook);
  EXPECT_EQ(log.text(), "TestLog: Header file not found, initialization with default header!\r\n");

  ApplyTestLogSettings(context, kTime);
  EXPECT_EQ(outputText(), defaultAtfHeader());
  EXPECT_EQ(settings.vectorNumber, 1u);
}

TEST_F(ApplySettingsTest, AtpHeaderLeavesTheVectorNumber) {
  settings.outputFormat = kFormatATP;
  settings.interface = kInterfaceSPI;
  ApplyTestLogSettings(context, kTime);
  EXPECT_EQ(outputText(), atp::DefaultHeader(settings, kTime));
  EXPECT_EQ(settings.vectorNumber, 1u);
  app.testLogHooks.writeHook(settings, access(0x05, 0x81));
  EXPECT_EQ(outputText(), atp::DefaultHeader(settings, kTime) +
                              atp::SpiWrite(settings, 5, 0x81, " WR(h05,h81) "));
}

TEST_F(ApplySettingsTest, InactiveCreatesAnEmptyFileThatLaterGetsNoHeader) {
  settings.active = 0;
  ApplyTestLogSettings(context, kTime);
  ASSERT_TRUE(std::filesystem::exists(output()));
  EXPECT_EQ(outputText(), "");
  settings.active = 1;
  ApplyTestLogSettings(context, kTime);
  EXPECT_EQ(outputText(), "");
  EXPECT_EQ(log.text(), "");
}

TEST_F(ApplySettingsTest, ExistingFileIsKeptAndAppendedTo) {
  WriteFile(output(), "earlier patterns\n");
  ApplyTestLogSettings(context, kTime);
  app.testLogHooks.commentHook(settings, "next");
  EXPECT_EQ(outputText(), "earlier patterns\n!next\n");
}

TEST_F(ApplySettingsTest, UnknownInterfaceInstallsNoGeneratorButStillSaves) {
  app.testLogHooks.writeHook = [](TestLogSettings&, const chip::RegisterParams&) {};
  settings.interface = 2;
  ApplyTestLogSettings(context, kTime);
  EXPECT_FALSE(app.testLogHooks.writeHook);
  EXPECT_FALSE(app.testLogHooks.readHook);
  EXPECT_FALSE(app.testLogHooks.commentHook);
  EXPECT_FALSE(app.testLogHooks.sleepHook);
  // The new file still gets the default header, without vector lines.
  EXPECT_EQ(CountLines(outputText(), "PATTERN DEFINITION;"), 1);
  EXPECT_EQ(CountLines(outputText(), "    "), 0);
  EXPECT_EQ(CountLines(ReadFile(app.startFilePath), "Interface=2"), 1);
}

TEST_F(ApplySettingsTest, SettingsAreStoredInTheStartFile) {
  WriteFile(app.startFilePath, "4\n");
  settings.i2cAddress = 0x7F;
  ApplyTestLogSettings(context, kTime);
  EXPECT_EQ(ReadFile(app.startFilePath),
            "4\n[TestLog]\nInterface=0\nI2CAddress=127\n"
            "OutputFormat=0\nOutputFile=" +
                settings.outputFile + "\nInputPath=" + settings.inputPath + "\n");
}

TEST_F(ApplySettingsTest, UncreatableFileGetsNoHeaderButTheSettingsApply) {
  settings.outputFile = (dir / "no-such-folder" / "x.atf").string();
  ApplyTestLogSettings(context, kTime);
  EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(settings.vectorNumber, 1u);
  EXPECT_TRUE(app.testLogHooks.writeHook);
  EXPECT_EQ(CountLines(ReadFile(app.startFilePath), "OutputFile="), 1);
}

TEST_F(ApplySettingsTest, NothingHappensWithoutASettingsRecord) {
  app.testLog = nullptr;
  ApplyTestLogSettings(context, kTime);
  EXPECT_FALSE(std::filesystem::exists(output()));
  EXPECT_FALSE(std::filesystem::exists(app.startFilePath));
}

TEST_F(ApplySettingsTest, EnableFromStartFileAppliesTheFileWithOutputOn) {
  app.testLog = nullptr;
  EXPECT_FALSE(EnableFromStartFile(app));
  TestLogSettings own;
  InstallTestLog(app, own);
  EXPECT_EQ(app.testLog, &own);
  WriteFile(app.startFilePath,
            "0\n[TestLog]\nInterface=1\nOutputFormat=0\nOutputFile=" + output().string() +
                "\nInputPath=" + templates().string() + "/\n");
  ASSERT_TRUE(EnableFromStartFile(app));
  EXPECT_EQ(own.active, 1);
  EXPECT_EQ(own.interface, kInterfaceSPI);
  EXPECT_EQ(own.outputFormat, kFormatATF);
  EXPECT_EQ(own.vectorNumber, 5u);  // after the new file's default header
  EXPECT_EQ(CountLines(outputText(), "PATTERN DEFINITION;"), 1);

  const std::string startFile = ReadFile(app.startFilePath);
  EXPECT_EQ(startFile.find("I2CAddress"), std::string::npos);  // read, not written back

  // Settings without a generator change nothing and make no file.
  const std::string other = (dir / "other.atf").string();
  WriteFile(app.startFilePath, "0\n[TestLog]\nInterface=2\nOutputFile=" + other + "\n");
  EXPECT_FALSE(EnableFromStartFile(app));
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(own.interface, kInterfaceSPI);

  // Without a start-up file the defaults apply and no file is made.
  std::filesystem::remove(app.startFilePath);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const bool enabled = EnableFromStartFile(app);
  std::filesystem::current_path(previous);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(own.outputFile, "test1.txt");
  EXPECT_TRUE(std::filesystem::exists(dir / "test1.txt"));
  EXPECT_FALSE(std::filesystem::exists(app.startFilePath));
}

}  // namespace
}  // namespace kvt::testlog::test
