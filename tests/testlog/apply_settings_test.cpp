#include "testlog/apply_settings.h"

#include <gtest/gtest.h>

#include "testlog/atf_generator.h"
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
};

TEST_F(ApplySettingsTest, NewActiveFileGetsExactlyTheHeaderOnce) {
  ApplyTestLogSettings(context, kTime);
  TestLogSettings first = settings;
  first.vectorNumber = 1;
  const std::string header = atf::DefaultHeader(first, kTime);
  EXPECT_EQ(outputText(), header);
  EXPECT_EQ(settings.vectorNumber, 5u);  // the four header vectors are numbered
  EXPECT_TRUE(app.testLogHooks.writeHook);
  EXPECT_EQ(log.text(), "TestLog: Header file not found, initialization with default header!\r\n");
  // A second OK finds the file and adds nothing; the numbering starts again.
  ApplyTestLogSettings(context, kTime);
  EXPECT_EQ(outputText(), header);
  EXPECT_EQ(settings.vectorNumber, 1u);
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

TEST_F(ApplySettingsTest, UnknownInterfaceInstallsNoGeneratorButStillSaves) {
  app.testLogHooks.writeHook = [](TestLogSettings&, const chip::RegisterParams&) {};
  settings.interface = 2;
  ApplyTestLogSettings(context, kTime);
  EXPECT_FALSE(app.testLogHooks.writeHook || app.testLogHooks.readHook ||
               app.testLogHooks.commentHook || app.testLogHooks.sleepHook);
  // The new file still gets the default header, without vector lines.
  EXPECT_EQ(CountLines(outputText(), "PATTERN DEFINITION;"), 1);
  EXPECT_EQ(CountLines(outputText(), "    "), 0);
  EXPECT_EQ(CountLines(ReadFile(app.startFilePath), "Interface=2"), 1);
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
  std::string error;
  EXPECT_FALSE(EnableFromStartFile(app, error));
  EXPECT_FALSE(std::filesystem::exists(output()));
  EXPECT_FALSE(std::filesystem::exists(app.startFilePath));
}

// kvt-cli --testlog end to end is tested with kvt-cli; here only what it cannot show.
TEST_F(ApplySettingsTest, EnableWithoutAStartFileAppliesTheDefaults) {
  TestLogSettings own;
  InstallTestLog(app, own);
  EXPECT_EQ(app.testLog, &own);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  std::string error;
  const bool enabled = EnableFromStartFile(app, error);
  std::filesystem::current_path(previous);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(own.active, 1);
  EXPECT_EQ(own.outputFile, "test1.txt");
  EXPECT_TRUE(std::filesystem::exists(dir / "test1.txt"));
  EXPECT_FALSE(std::filesystem::exists(app.startFilePath)) << "read, never written";
}

}  // namespace
}  // namespace kvt::testlog::test
