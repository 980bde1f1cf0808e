#include "testlog/test_log_dialog.h"

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "testlog/control_ids.h"
#include "testlog/test_log_subsystem.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

using platform::notify::Clicked;

// The dialog's controls are checked by the files of tests/testlog/dialogs.
class TestLogDialogTest : public TestLogFixture {
 protected:
  TestLogDialogTest() {
    WriteFile(app.startFilePath,
              "2\r\n[TestLog]\r\nInterface=1\r\nI2CAddress=90\r\nOutputFormat=0\r\nOutputFile=" +
                  output().string() + "\r\n");
    settings = TestLogSettings{};
  }
};

// The Log menu's entry is enabled and opens the dialog; OK applies the settings and closes it.
TEST_F(TestLogDialogTest, MainWindowMenuOpensTheDialogAndOkApplies) {
  InstallTestLog(app, settings);
  app::MainWindow mainWindow(app);
  mainWindow.init(main);
  EXPECT_TRUE(main.isEnabled(app::id::MenuTestLog));
  shell.modalDriver = [](int dialogId, kvt::test::FakeView& view, platform::DialogProcedure& p) {
    view.setChecked(id::Activate, true);
    p.command(view, id::Activate, Clicked);
    view.type(id::I2cAddress, "2C");
    p.command(view, id::I2cAddress, platform::notify::Changed);
    p.command(view, id::Ok, Clicked);
  };
  mainWindow.command(main, app::id::MenuTestLog, Clicked);
  EXPECT_EQ(shell.modalDialogs, std::vector<int>{id::TestLogDialog});
  EXPECT_EQ(shell.lastModal->closedWith, 1);
  EXPECT_EQ(settings.active, 1);
  EXPECT_TRUE(app.testLogHooks.sleepHook);
  EXPECT_EQ(CountLines(outputText(), "PATTERN DEFINITION;"), 1);
  EXPECT_EQ(CountLines(ReadFile(app.startFilePath), "I2CAddress=44"), 1);
  // OK's header message went to the main window's log pane.
  EXPECT_NE(main.text(app::id::LogPane).find("TestLog: Header file not found"), std::string::npos);
}

}  // namespace
}  // namespace kvt::testlog::test
