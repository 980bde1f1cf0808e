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
