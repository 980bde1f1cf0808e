#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/control_ids.h"
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
  void init() { window.init(main); }
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

TEST_F(MainWindowTest, StartsInTheClosedStateWithTheStatusTexts) {
  app.portIndex = 3;
  init();
  EXPECT_EQ(app.mainWindow, &main);
  EXPECT_FALSE(main.enabled.at(id::CloseButton));
  EXPECT_FALSE(main.enabled.at(id::CommandLine));
  EXPECT_FALSE(main.enabled.at(id::MenuHost115200));
  EXPECT_TRUE(main.enabled.at(id::OpenButton));
  EXPECT_TRUE(main.enabled.at(id::MenuSettings));
  EXPECT_TRUE(main.isEnabled(id::MenuTestLog));
  EXPECT_FALSE(main.isVisible(id::PiButton));
  EXPECT_EQ(main.text(id::PortName), "COM4:");
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(main.text(id::OpenClosed), "C");
  EXPECT_EQ(main.text(id::BitOrder), "N");
  EXPECT_EQ(main.text(id::OperationStatus), "NULL");
  EXPECT_TRUE(main.monospace[id::LogPane]);
  EXPECT_TRUE(app.monospaceFont);
  EXPECT_TRUE(app.piMenu.empty());
  EXPECT_EQ(logText(), "");
}

TEST_F(MainWindowTest, WithoutAFixedPitchFontTheLogSaysSo) {
  main.fontAvailable = false;
  init();
  EXPECT_FALSE(app.monospaceFont);
  EXPECT_EQ(logText(), "ERROR: Cannot create monospace font!\r\n");
}

TEST_F(MainWindowTest, ThePiSwitchShowsTheButtonAndFillsTheMenu) {
  app.piHidden = 0;
  init();
  EXPECT_TRUE(main.isVisible(id::PiButton));
  ASSERT_EQ(app.piMenu.size(), 3u);
  EXPECT_EQ(app.piMenu[0].text, "Action &3");
  EXPECT_EQ(app.piMenu[1].text, "Action &2");
  EXPECT_EQ(app.piMenu[2].text, "Korvex Reader");
}

TEST_F(MainWindowTest, OpenAndCloseButtonsSwitchThePortAndResetTheResumeLine) {
  connectSimulatedChip();
  init();
  app.resumeLine = 5;
  window.command(main, id::MenuOpen, Clicked);
  EXPECT_NE(app.port, nullptr);
  EXPECT_EQ(app.resumeLine, 5);  // the menu item leaves it
  window.command(main, id::CloseButton, Clicked);
  EXPECT_EQ(app.port, nullptr);
  EXPECT_EQ(app.resumeLine, 0);
  app.resumeLine = 4;
  window.command(main, id::OpenButton, Clicked);
  EXPECT_EQ(app.resumeLine, 0);
  EXPECT_EQ(main.text(id::OpenClosed), "O");
  EXPECT_TRUE(main.enabled.at(id::CommandLine));
}

TEST_F(MainWindowTest, ACommandThatRanGoesIntoTheHistoryAndTheLineEmpties) {
  init();
  enter("SR 01 3F");
  EXPECT_EQ(executed, std::vector<std::string>{"SR 01 3F"});
  EXPECT_EQ(commandLine(), "");
  EXPECT_EQ(main.focus, id::CommandLine);
  EXPECT_EQ(app.commandHistory, std::vector<std::string>{"SR 01 3F"});
  EXPECT_EQ(app.historyIndex, 0);
}

TEST_F(MainWindowTest, ShortTextsAndFailedLinesStayOnTheCommandLine) {
  init();
  enter("GR");
  EXPECT_TRUE(executed.empty());  // under three characters nothing runs
  EXPECT_EQ(commandLine(), "GR");
  lineResult = 0;
  enter("XYZ 1");
  EXPECT_EQ(executed, std::vector<std::string>{"XYZ 1"});
  EXPECT_EQ(commandLine(), "XYZ 1");
  lineResult = -1;  // a jump
  enter("JMP A");
  EXPECT_EQ(commandLine(), "JMP A");
  EXPECT_TRUE(app.commandHistory.empty());
}

TEST_F(MainWindowTest, TheCommandLineTakesAtMost127Characters) {
  init();
  enter(std::string(200, 'A'));
  ASSERT_EQ(executed.size(), 1u);
  EXPECT_EQ(executed[0].size(), 127u);
}

TEST_F(MainWindowTest, HistoryKeepsSixteenAndDropsTheOldest) {
  init();
  for (int i = 0; i < 15; ++i) enter("GR " + std::to_string(10 + i));
  EXPECT_EQ(app.commandHistory.size(), 15u);
  enter("GR 30");
  EXPECT_EQ(app.commandHistory.size(), 16u);
  enter("GR 31");
  ASSERT_EQ(app.commandHistory.size(), 16u);
  EXPECT_EQ(app.commandHistory.front(), "GR 11");
  EXPECT_EQ(app.commandHistory.back(), "GR 31");
}

TEST_F(MainWindowTest, ARepeatedCommandMovesToTheNewestPlace) {
  init();
  enter("GR 01");
  enter("GR 02");
  enter("GR 03");
  enter("GR 01");
  EXPECT_EQ(app.commandHistory, (std::vector<std::string>{"GR 02", "GR 03", "GR 01"}));
  enter("gr 02");  // another spelling is another entry
  EXPECT_EQ(app.commandHistory.size(), 4u);
}

TEST_F(MainWindowTest, ArrowKeysBrowseTheHistoryAndWrap) {
  init();
  enter("GR 01");
  enter("GR 02");
  enter("GR 03");
  EXPECT_TRUE(press(Key::Up));
  EXPECT_EQ(commandLine(), "GR 03");  // the first Up shows the newest
  EXPECT_EQ(main.carets[id::CommandLine], 5u);
  press(Key::Up);
  EXPECT_EQ(commandLine(), "GR 02");
  press(Key::Up);
  EXPECT_EQ(commandLine(), "GR 01");
  press(Key::Up);
  EXPECT_EQ(commandLine(), "GR 03");  // past the oldest: back to the newest
  press(Key::Down);
  EXPECT_EQ(commandLine(), "GR 01");  // Down from the newest wraps to the oldest
  press(Key::Down);
  EXPECT_EQ(commandLine(), "GR 02");
}

TEST_F(MainWindowTest, DownRightAfterACommandShowsTheOldest) {
  init();
  enter("GR 01");
  enter("GR 02");
  press(Key::Down);
  EXPECT_EQ(commandLine(), "GR 01");
}

TEST_F(MainWindowTest, ArrowsOnAnEmptyHistoryLeaveTheLine) {
  init();
  main.type(id::CommandLine, "SR");
  press(Key::Up);
  press(Key::Down);
  EXPECT_EQ(commandLine(), "SR");
}

TEST_F(MainWindowTest, EscapeEmptiesTheLineWithoutClosingAndTheNextCloseCloses) {
  connectSimulatedChip();
  init();
  window.command(main, id::OpenButton, Clicked);
  main.type(id::CommandLine, "SR 01");
  EXPECT_TRUE(press(Key::Escape));
  EXPECT_EQ(commandLine(), "");
  EXPECT_TRUE(press(Key::Escape, id::LogPane));
  EXPECT_FALSE(main.closedWith.has_value());
  EXPECT_NE(app.port, nullptr);

  window.closeRequest(main);
  EXPECT_EQ(main.closedWith, 0);
  EXPECT_EQ(app.port, nullptr);  // closing the window closes the port
}

TEST_F(MainWindowTest, ExitClosesThePortAndEndsTheWindow) {
  connectSimulatedChip();
  init();
  window.command(main, id::OpenButton, Clicked);
  window.command(main, id::MenuExit, Clicked);
  EXPECT_EQ(main.closedWith, 0);
  EXPECT_EQ(app.port, nullptr);
}

TEST_F(MainWindowTest, OverrideNameReplacesOnlyTheFileName) {
  init();
  main.type(id::OverrideName, "other");
  window.command(main, id::OverrideName, Changed);
  EXPECT_EQ(app.commandFilePath, "NULL");  // nothing selected: nothing happens

  app.commandFilePath = "C:\\scripts\\first.scf";
  main.type(id::OverrideName, "s");
  window.command(main, id::OverrideName, Changed);
  EXPECT_EQ(app.commandFilePath, "C:\\scripts\\s.scf");
  main.type(id::OverrideName, "se");
  window.command(main, id::OverrideName, Changed);
  EXPECT_EQ(app.commandFilePath, "C:\\scripts\\se.scf");
  EXPECT_EQ(main.text(id::OperationStatus), "C:\\scripts\\se.scf");
}

TEST_F(MainWindowTest, RegisterIoOpensOneModelessDialogAtATime) {
  init();
  window.command(main, id::RegisterIo, Clicked);
  window.command(main, id::MenuAccessRegister, Clicked);
  ASSERT_EQ(shell.modeless.size(), 1u);
  EXPECT_EQ(shell.modeless[0].dialogId, id::RegisterDialog);
  EXPECT_EQ(app.registerDialog, shell.modeless[0].view.get());
  // Quit, then open again.
  shell.modeless[0].procedure->command(*shell.modeless[0].view, id::RegQuit, Clicked);
  EXPECT_EQ(app.registerDialog, nullptr);
  window.command(main, id::RegisterIo, Clicked);
  EXPECT_EQ(shell.modeless.size(), 2u);
}

TEST_F(MainWindowTest, PortSettingsAndInfoRunTheirDialogsModally) {
  init();
  shell.modalDriver = [](int dialogId, kvt::test::FakeView& view,
                         platform::DialogProcedure& procedure) {
    if (dialogId != id::PortSettingsDialog) return;
    view.selectItem(id::PortList, 2);
    procedure.command(view, id::Apply, Clicked);
  };
  window.command(main, id::MenuSettings, Clicked);
  EXPECT_EQ(app.portIndex, 2);
  EXPECT_EQ(main.text(id::PortName), "COM3:");
  window.command(main, id::MenuInfo, Clicked);
  EXPECT_EQ(shell.modalDialogs, (std::vector<int>{id::PortSettingsDialog, id::AboutDialog}));
}

TEST_F(MainWindowTest, ServiceCommandsReachTheirSubsystems) {
  std::vector<std::string> calls;
  auto record = [&calls](const char* name) {
    return [&calls, name](const DialogContext&) { calls.push_back(name); };
  };
  app.services.selectCommandFile = record("select");
  app.services.processCommandFile = record("process");
  app.services.printCommandReference = record("reference");
  app.services.runTestLogDialog = record("testlog");
  app.services.runCardReaderDialog = record("card");
  connectScriptedPort();
  init();
  window.command(main, id::OpenButton, Clicked);
  app.resumeLine = 3;
  window.command(main, id::SelectScf, Clicked);
  EXPECT_EQ(app.resumeLine, 0);
  window.command(main, id::MenuSelectCommandFile, Clicked);
  window.command(main, id::ProcessScf, Clicked);
  EXPECT_EQ(scripted->purges(), 1);  // purged before the run starts
  window.command(main, id::MenuProcessCommandFile, Clicked);
  window.command(main, id::MenuCommands, Clicked);
  window.command(main, id::MenuTestLog, Clicked);
  window.command(main, id::KorvexReader, Clicked);
  EXPECT_EQ(calls, (std::vector<std::string>{"select", "select", "process", "process", "reference",
                                             "testlog", "card"}));
}

TEST_F(MainWindowTest, HostSpeedMenuItemsSetThePcSideAndPurge) {
  connectScriptedPort();
  init();
  window.command(main, id::OpenButton, Clicked);
  window.command(main, id::MenuHost115200, Clicked);
  EXPECT_EQ(main.text(id::HostSpeed), "115200");
  EXPECT_EQ(scripted->rate(), 115200u);
  window.command(main, id::MenuHost9600, Clicked);
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(scripted->purges(), 2);
}

TEST_F(MainWindowTest, LogMenuAndDumpAndPiCommandsAreRouted) {
  init();
  window.command(main, id::DumpRegister, Clicked);  // port closed: the probe fails
  EXPECT_EQ(logText().rfind("Writing Error on register 0x00: STKSTATUS 0x0104!", 0), 0u);
  window.command(main, id::MenuClearLog, Clicked);
  EXPECT_EQ(logText(), "");
  window.command(main, 50500, Clicked);
  EXPECT_EQ(logText(), "Error: Cannot perform user action with closed RS 232 port.\r\n");
  shell.chooserAnswers.push_back(std::nullopt);
  window.command(main, id::MenuSaveLog, Clicked);
  ASSERT_EQ(shell.chooserRequests.size(), 1u);
  EXPECT_TRUE(shell.chooserRequests[0].save);
}

TEST_F(MainWindowTest, TheScriptEndedCommandReapsTheRunnerThread) {
  init();
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
