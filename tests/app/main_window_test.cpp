#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace kvt::app {
namespace {

using platform::notify::Clicked;

// The texts, keys, history and port states of the window are checked by the main_window_*
// files of tests/app/dialogs; here what reaches other dialogs, actions and threads.
class MainWindowTest : public test::AppFixture {
 protected:
  MainWindow window{app};
};

TEST_F(MainWindowTest, RegisterIoOpensOneModelessDialogAtATime) {
  window.init(main);
  window.command(main, id::RegisterIo, Clicked);
  window.command(main, id::MenuAccessRegister, Clicked);
  ASSERT_EQ(shell.modeless.size(), 1u);
  EXPECT_EQ(shell.modeless[0].dialogId, id::RegisterDialog);
  EXPECT_EQ(app.registerDialog, shell.modeless[0].view.get());
  shell.modeless[0].procedure->command(*shell.modeless[0].view, id::RegQuit, Clicked);
  EXPECT_EQ(app.registerDialog, nullptr);
  window.command(main, id::RegisterIo, Clicked);
  EXPECT_EQ(shell.modeless.size(), 2u);
}

TEST_F(MainWindowTest, CommandsReachTheirActionsAndSubsystems) {
  std::vector<std::string> calls;
  auto record = [&calls](const char* name) {
    return [&calls, name](const DialogContext&) { calls.push_back(name); };
  };
  app.services.selectCommandFile = record("select");
  app.services.processCommandFile = record("process");
  app.services.printCommandReference = record("reference");
  app.services.runTestLogDialog = record("testlog");
  app.services.runCardReaderDialog = record("card");
  window.init(main);

  window.command(main, id::DumpRegister, Clicked);  // port closed: the probe fails
  EXPECT_EQ(logText().rfind("Writing Error on register 0x00: STKSTATUS 0x0104!", 0), 0u);
  window.command(main, id::MenuClearLog, Clicked);
  window.command(main, 50500, Clicked);
  EXPECT_EQ(logText(), "Error: Cannot perform user action with closed RS 232 port.\r\n");
  shell.chooserAnswers.push_back(std::nullopt);
  window.command(main, id::MenuSaveLog, Clicked);
  EXPECT_EQ(shell.chooserRequests.size(), 1u);
  window.command(main, id::MenuSettings, Clicked);
  window.command(main, id::MenuInfo, Clicked);
  EXPECT_EQ(shell.modalDialogs, (std::vector<int>{id::PortSettingsDialog, id::AboutDialog}));

  // The buttons, not the menu items, start a script over from its first line.
  connectScriptedPort();
  app.resumeLine = 5;
  window.command(main, id::MenuOpen, Clicked);
  window.command(main, id::CloseButton, Clicked);
  EXPECT_EQ(app.resumeLine, 0);
  app.resumeLine = 4;
  window.command(main, id::OpenButton, Clicked);
  EXPECT_EQ(app.resumeLine, 0);
  EXPECT_EQ(main.text(id::OpenClosed), "O");
  app.resumeLine = 3;
  window.command(main, id::MenuProcessCommandFile, Clicked);
  EXPECT_EQ(app.resumeLine, 3);
  window.command(main, id::SelectScf, Clicked);
  EXPECT_EQ(app.resumeLine, 0);
  window.command(main, id::MenuSelectCommandFile, Clicked);
  window.command(main, id::ProcessScf, Clicked);
  EXPECT_EQ(scripted->purges(), 3);  // purged when opened and before each run starts
  window.command(main, id::MenuCommands, Clicked);
  window.command(main, id::MenuTestLog, Clicked);
  window.command(main, id::KorvexReader, Clicked);
  EXPECT_EQ(calls, (std::vector<std::string>{"process", "select", "select", "process", "reference",
                                             "testlog", "card"}));
  window.command(main, id::MenuHost115200, Clicked);
  EXPECT_EQ(scripted->rate(), 115200u);
  window.command(main, id::MenuHost9600, Clicked);
  EXPECT_EQ(scripted->rate(), 9600u);
  EXPECT_EQ(scripted->purges(), 5);  // and after each host speed change
}

TEST_F(MainWindowTest, TheScriptEndedCommandReapsTheRunnerThread) {
  window.init(main);
  bool ran = false;
  app.runnerThread = std::thread([&ran] { ran = true; });
  window.command(main, id::ScriptEnded, Clicked);
  EXPECT_FALSE(app.runnerThread.joinable());
  EXPECT_TRUE(ran);
  window.command(main, id::ScriptEnded, Clicked);  // nothing left: nothing happens
}

TEST_F(MainWindowTest, ResizingKeepsTheWidthAndTheMinimumHeight) {
  app.initialWidth = 600;
  app.initialHeight = 400;
  EXPECT_EQ(DecideResize(app, 600, 399), ResizeAction::RestoreHeight);
  EXPECT_EQ(DecideResize(app, 700, 400), ResizeAction::RestoreWidth);
  EXPECT_EQ(DecideResize(app, 700, 300), ResizeAction::RestoreHeight);
  EXPECT_EQ(DecideResize(app, 600, 800), ResizeAction::StretchLogPane);
}

}  // namespace
}  // namespace kvt::app
