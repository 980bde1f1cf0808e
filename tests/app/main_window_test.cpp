#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace kvt::app {
namespace {

using platform::Key;
using platform::notify::Changed;
using platform::notify::Clicked;

class MainWindowTest : public test::AppFixture {
 protected:
  MainWindowTest() {
    // The command language: records each line and answers with the scripted result.
    app.services.executeLine = [this](const DialogContext& context, std::string& line) {
      executed.push_back(line);
      EXPECT_EQ(context.owner, &main);
      return lineResult;
    };
  }
  void enter(const std::string& text) {
    main.type(id::CommandLine, text);
    window.command(main, id::Process, Clicked);
  }
  std::string commandLine() const { return main.text(id::CommandLine); }
  bool press(Key key, int control = id::CommandLine) { return window.key(main, control, key); }

  MainWindow window{app};
  std::vector<std::string> executed;
  int lineResult = 1;
};

TEST_F(MainWindowTest, StartsClosedWithTheStatusTextsAndThePiSwitchShowsTheMenu) {
  app.portIndex = 3;
  window.init(main);
  EXPECT_EQ(app.mainWindow, &main);
  test::ExpectPortState(main, false);
  EXPECT_FALSE(main.isVisible(id::PiButton));
  EXPECT_EQ(main.text(id::PortName), "COM4:");
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(main.text(id::OpenClosed), "C");
  EXPECT_EQ(main.text(id::BitOrder), "N");
  EXPECT_EQ(main.text(id::OperationStatus), "NULL");
  EXPECT_TRUE(main.monospace[id::LogPane]);
  EXPECT_TRUE(app.piMenu.empty());
  EXPECT_EQ(logText(), "");

  kvt::test::FakeView other;
  other.fontAvailable = false;
  app.piHidden = 0;
  window.init(other);
  EXPECT_TRUE(other.isVisible(id::PiButton));
  EXPECT_EQ(app.piMenu.size(), 3u);
  EXPECT_FALSE(app.monospaceFont);
  EXPECT_EQ(logText(), "ERROR: Cannot create monospace font!\r\n");
}

TEST_F(MainWindowTest, OnlyACommandThatRanEntersTheHistoryAndEmptiesTheLine) {
  window.init(main);
  enter("SR 01 3F");
  EXPECT_EQ(commandLine(), "");
  EXPECT_EQ(main.focus, id::CommandLine);
  enter("GR");  // under three characters nothing runs
  EXPECT_EQ(commandLine(), "GR");
  lineResult = 0;
  enter("XYZ 1");
  EXPECT_EQ(commandLine(), "XYZ 1");
  lineResult = -1;  // a jump
  enter("JMP A");
  EXPECT_EQ(commandLine(), "JMP A");
  enter(std::string(200, 'A'));  // the line takes at most 127 characters
  EXPECT_EQ(executed,
            (std::vector<std::string>{"SR 01 3F", "XYZ 1", "JMP A", std::string(127, 'A')}));
  EXPECT_EQ(app.commandHistory, std::vector<std::string>{"SR 01 3F"});
}

TEST_F(MainWindowTest, HistoryKeepsSixteenAndMovesARepeatToTheNewestPlace) {
  window.init(main);
  for (int i = 10; i < 27; ++i) enter("GR " + std::to_string(i));
  ASSERT_EQ(app.commandHistory.size(), 16u);
  EXPECT_EQ(app.commandHistory.front(), "GR 11");  // the 17th dropped the oldest
  EXPECT_EQ(app.commandHistory.back(), "GR 26");
  enter("GR 15");
  EXPECT_EQ(app.commandHistory.size(), 16u);
  EXPECT_EQ(app.commandHistory[4], "GR 16");
  EXPECT_EQ(app.commandHistory.back(), "GR 15");
  enter("gr 16");  // another spelling is another entry
  EXPECT_EQ(app.commandHistory.front(), "GR 12");
  EXPECT_EQ(app.commandHistory.back(), "gr 16");
}

TEST_F(MainWindowTest, ArrowKeysBrowseTheHistoryAndWrap) {
  window.init(main);
  main.type(id::CommandLine, "SR");
  press(Key::Up);  // an empty history leaves the line
  press(Key::Down);
  EXPECT_EQ(commandLine(), "SR");
  enter("GR 01");
  enter("GR 02");
  enter("GR 03");
  EXPECT_TRUE(press(Key::Up));
  EXPECT_EQ(commandLine(), "GR 03");  // the first Up shows the newest
  EXPECT_EQ(main.carets[id::CommandLine], 5u);
  const std::pair<Key, const char*> steps[] = {
      {Key::Up, "GR 02"},
      {Key::Up, "GR 01"},
      {Key::Up, "GR 03"},    // past the oldest: the newest
      {Key::Down, "GR 01"},  // Down from the newest wraps to the oldest
      {Key::Down, "GR 02"}};
  for (const auto& [key, shown] : steps) {
    press(key);
    EXPECT_EQ(commandLine(), shown);
  }
  enter("GR 04");
  press(Key::Down);  // right after a command Down shows the oldest
  EXPECT_EQ(commandLine(), "GR 01");
}

TEST_F(MainWindowTest, EscapeEmptiesTheLineWithoutClosingAndCloseOrExitCloseThePort) {
  connectSimulatedChip();
  window.init(main);
  window.command(main, id::OpenButton, Clicked);
  main.type(id::CommandLine, "SR 01");
  EXPECT_TRUE(press(Key::Escape));
  EXPECT_EQ(commandLine(), "");
  EXPECT_TRUE(press(Key::Escape, id::LogPane));
  EXPECT_FALSE(main.closedWith.has_value());
  EXPECT_NE(app.port, nullptr);
  window.closeRequest(main);
  EXPECT_EQ(main.closedWith, 0);
  EXPECT_EQ(app.port, nullptr);

  main.closedWith.reset();
  window.command(main, id::OpenButton, Clicked);
  window.command(main, id::MenuExit, Clicked);
  EXPECT_EQ(main.closedWith, 0);
  EXPECT_EQ(app.port, nullptr);
}

TEST_F(MainWindowTest, OverrideNameReplacesOnlyTheFileName) {
  window.init(main);
  main.type(id::OverrideName, "other");
  window.command(main, id::OverrideName, Changed);
  EXPECT_EQ(app.commandFilePath, "NULL");  // nothing selected: nothing happens
  app.commandFilePath = "C:\\scripts\\first.scf";
  main.type(id::OverrideName, "s");
  window.command(main, id::OverrideName, Changed);
  main.type(id::OverrideName, "se");
  window.command(main, id::OverrideName, Changed);
  EXPECT_EQ(app.commandFilePath, "C:\\scripts\\se.scf");
  EXPECT_EQ(main.text(id::OperationStatus), "C:\\scripts\\se.scf");
}

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
