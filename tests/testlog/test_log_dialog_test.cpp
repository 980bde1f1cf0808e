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

constexpr int kFollowers[] = {1079, 1080, 1082, 1081, 1083, 1084, 1085, 1086, 1087, 1088};

class TestLogDialogTest : public TestLogFixture {
 protected:
  TestLogDialogTest() {
    WriteFile(app.startFilePath,
              "2\r\n[TestLog]\r\nInterface=1\r\nI2CAddress=90\r\n"
              "OutputFormat=0\r\nOutputFile=" +
                  output().string() + "\r\nInputPath=C:\\pat\\\r\n");
    settings = TestLogSettings{};
  }
  void open() { dialog.init(window); }
  // File chooser request `i`: save or open, filter name, pattern, initial name, must exist.
  std::string chooser(std::size_t i) const {
    if (i >= shell.chooserRequests.size()) return "none";
    const auto& [save, r] = shell.chooserRequests[i];
    return std::string(save ? "save|" : "open|") + r.filterName + "|" + r.pattern + "|" +
           r.initialName + (r.mustExist ? "|must exist" : "");
  }

  TestLogDialog dialog{context};
  kvt::test::FakeView window;
};

TEST_F(TestLogDialogTest, OpeningShowsTheStartFileSettings) {
  settings.outputFile = "stale";
  open();
  EXPECT_EQ(settings.interface, kInterfaceSPI);
  EXPECT_EQ(settings.outputFile, output().string());
  EXPECT_FALSE(window.checked(id::Activate));
  for (int control : kFollowers) EXPECT_FALSE(window.isEnabled(control)) << control;
  EXPECT_EQ(window.lists[id::Interface].items, (std::vector<std::string>{"I2C", "SPI"}));
  EXPECT_EQ(window.lists[id::Interface].selected, 1);
  EXPECT_EQ(window.lists[id::Format].items, (std::vector<std::string>{"ATF", "ATP"}));
  EXPECT_EQ(window.lists[id::Format].selected, 0);
  EXPECT_EQ(window.text(id::OutputFileName), "out.pat");
  EXPECT_EQ(window.text(id::InputPathName), "C:\\pat\\");
  EXPECT_EQ(window.text(id::I2cAddress), "5A");
  // Values no entry stands for select none.
  WriteFile(app.startFilePath, "[TestLog]\nInterface=2\nOutputFormat=7\n");
  kvt::test::FakeView other;
  TestLogDialog(context).init(other);
  EXPECT_EQ(other.lists[id::Interface].selected, -1);
  EXPECT_EQ(other.lists[id::Format].selected, -1);
}

TEST_F(TestLogDialogTest, ActiveSurvivesReopeningOtherEditsDoNot) {
  open();
  window.setChecked(id::Activate, true);
  dialog.command(window, id::Activate, Clicked);
  EXPECT_EQ(settings.active, 1);
  for (int control : kFollowers) EXPECT_TRUE(window.isEnabled(control)) << control;
  window.selectItem(id::Interface, 0);
  dialog.command(window, id::Interface, platform::notify::SelectionChanged);
  EXPECT_EQ(settings.interface, kInterfaceI2C);
  dialog.closeRequest(window);
  EXPECT_EQ(window.closedWith, 0);

  kvt::test::FakeView again;
  TestLogDialog reopened(context);
  reopened.init(again);
  EXPECT_TRUE(again.checked(id::Activate));
  EXPECT_TRUE(again.isEnabled(id::Interface));
  EXPECT_EQ(settings.interface, kInterfaceSPI);

  again.setChecked(id::Activate, false);
  reopened.command(again, id::Activate, Clicked);
  EXPECT_EQ(settings.active, 0);
  for (int control : kFollowers) EXPECT_FALSE(again.isEnabled(control)) << control;
}

TEST_F(TestLogDialogTest, CombosAndAddressStoreAtOnce) {
  open();
  window.selectItem(id::Format, 1);
  dialog.command(window, id::Format, platform::notify::SelectionChanged);
  EXPECT_EQ(settings.outputFormat, kFormatATP);
  const std::pair<const char*, uint8_t> typed[] = {{"2C", 0x2C}, {"2C5", 0x2C}, {"G1", 0},
                                                   {"", 0},      {"a", 0x0A},   {"fF", 0xFF},
                                                   {"1G", 0x01}, {" 2", 0}};
  for (const auto& [text, address] : typed) {
    window.type(id::I2cAddress, text);
    dialog.command(window, id::I2cAddress, platform::notify::Changed);
    EXPECT_EQ(settings.i2cAddress, address) << text;
  }
}

TEST_F(TestLogDialogTest, FileChoosers) {
  open();
  shell.chooserAnswers = {std::string("/lab/runs/run7.atf"), std::nullopt};
  dialog.command(window, id::SelectOutputFile, Clicked);
  EXPECT_EQ(chooser(0), "save|Test Log File|*.atf|*.atf");  // a new pattern file can be named
  EXPECT_EQ(settings.outputFile, "/lab/runs/run7.atf");
  EXPECT_EQ(window.text(id::OutputFileName), "run7.atf");

  // Cancel keeps the file that is chosen and shown.
  settings.outputFormat = kFormatATP;
  dialog.command(window, id::SelectOutputFile, Clicked);
  EXPECT_EQ(chooser(1), "save|Test Log File|*.atp|*.atp");
  EXPECT_EQ(settings.outputFile, "/lab/runs/run7.atf");
  EXPECT_EQ(window.text(id::OutputFileName), "run7.atf");

  // The input path keeps the folder of the template chosen; cancel keeps the last one.
  settings.outputFormat = kFormatATF;
  shell.chooserAnswers = {std::string("C:\\pat\\WriteI2C.atf"), std::string("/lab/tpl/x.atp"),
                          std::nullopt, std::string("ReadI2C.atf")};
  dialog.command(window, id::SelectInputPath, Clicked);
  EXPECT_EQ(chooser(2), "open|Input File|*.atf|*.atf|must exist");
  EXPECT_EQ(settings.inputPath, "C:\\pat\\");
  EXPECT_EQ(window.text(id::InputPathName), "C:\\pat\\");
  dialog.command(window, id::SelectInputPath, Clicked);
  EXPECT_EQ(settings.inputPath, "/lab/tpl/");
  dialog.command(window, id::SelectInputPath, Clicked);
  EXPECT_EQ(settings.inputPath, "/lab/tpl/");
  EXPECT_EQ(window.text(id::InputPathName), "/lab/tpl/");
  dialog.command(window, id::SelectInputPath, Clicked);
  EXPECT_EQ(settings.inputPath, std::string(".") + kPathSeparator);
}

TEST_F(TestLogDialogTest, CloseBoxAndEscapeApplyNothing) {
  open();
  window.setChecked(id::Activate, true);
  dialog.command(window, id::Activate, Clicked);
  EXPECT_TRUE(dialog.key(window, id::I2cAddress, platform::Key::Escape));
  EXPECT_FALSE(window.closedWith.has_value());
  dialog.closeRequest(window);
  EXPECT_EQ(window.closedWith, 0);
  EXPECT_FALSE(app.testLogHooks.writeHook);
  EXPECT_FALSE(std::filesystem::exists(output()));
  EXPECT_EQ(CountLines(ReadFile(app.startFilePath), "I2CAddress=90"), 1);
}

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
