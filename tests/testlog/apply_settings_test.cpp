#include "testlog/apply_settings.h"

#include <gtest/gtest.h>

#include "testlog/atf_generator.h"
#include "testlog/test_log_subsystem.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

// What applying writes and installs is checked by the apply_* folders of tests/testlog/cases.
class ApplySettingsTest : public TestLogFixture {
 protected:
  ApplySettingsTest() {
    settings.active = 1;
    settings.interface = kInterfaceI2C;
    settings.outputFormat = kFormatATF;
  }
};

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
