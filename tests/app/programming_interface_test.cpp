#include "app/programming_interface.h"

#include <gtest/gtest.h>

#include "app/serial_ports.h"
#include "app_fixture.h"

namespace kvt::app {
namespace {

class ProgrammingInterfaceTest : public test::AppFixture {
 protected:
  ProgrammingInterfaceTest() {
    app.registerControl = &stack;
    app.iso14443A = &stack;
    app.korvexReader = &stack;
    app.operationControl = &stack;
  }
  void openScriptedPort() {
    connectScriptedPort();
    OpenPort(context);
  }
  test::RecordingStack stack{app};
};

TEST_F(ProgrammingInterfaceTest, TheMenuReadsTopDownAndTheChosenItemComesBackAsACommand) {
  ShowPiMenu(context);  // an empty menu is not shown
  EXPECT_TRUE(shell.popups.empty());
  FillPiMenu(context);
  AddPiMenuItem(context, 50503, "My &Action");
  const std::vector<std::pair<int, std::string>> expected = {
      {50503, "My &Action"}, {50502, "Action &3"}, {50501, "Action &2"}, {50500, "Korvex Reader"}};
  ASSERT_EQ(app.piMenu.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(app.piMenu[i].id, expected[i].first) << i;
    EXPECT_EQ(app.piMenu[i].text, expected[i].second) << i;
  }
  shell.menuChoices = {50501, 0};
  ShowPiMenu(context);
  ShowPiMenu(context);  // dismissed: nothing is posted
  ASSERT_EQ(shell.posted.size(), 1u);
  EXPECT_EQ(shell.posted[0].window, &main);
  EXPECT_EQ(shell.posted[0].id, 50501);
  EXPECT_EQ(shell.popupAnchors[0], id::PiButton);
}

TEST_F(ProgrammingInterfaceTest, WithTheClosedPortEveryItemOnlyReportsThat) {
  for (int id : {50500, 50501, 50502, 50532}) RunPiAction(contextFor(id));
  const std::string error = "Error: Cannot perform user action with closed RS 232 port.\r\n";
  EXPECT_EQ(logText(), error + error + error + error);
  EXPECT_TRUE(stack.calls.empty());
}

TEST_F(ProgrammingInterfaceTest, OnAnOpenPortEachItemPurgesAndRunsItsAction) {
  openScriptedPort();
  RunPiAction(contextFor(50500));
  EXPECT_EQ(logText(), "Unknown Command Recognised by Programming Interface.\r\n");
  EXPECT_TRUE(stack.calls.empty());
  EXPECT_EQ(scripted->purges(), 2);  // at the open and before the action

  log.clear(nullptr, 0);
  RunPiAction(contextFor(50502));
  EXPECT_EQ(logText(), "Sample Action 1\r\n");
  EXPECT_EQ(stack.calls, std::vector<std::string>{"KorvexCommand 30 05 0"});

  log.clear(nullptr, 0);
  stack.calls.clear();
  RunPiAction(contextFor(50501));
  EXPECT_EQ(logText(), "Sample Action 2\r\n");
  EXPECT_EQ(stack.calls,
            (std::vector<std::string>{"GetRegister 01", "SetRegister 01 0F",
                                      "SetAttribute 08 09 00 06 0A0B0C0D0E0F", "RequestA 52",
                                      "AnticollisionSelect 93 0", "Select 93 32", "HaltA"}));
  // The serial number goes to the work buffer right behind the ATQA.
  EXPECT_EQ(stack.callsWithoutLock, 0);
  ASSERT_EQ(stack.serials.size(), 2u);
  EXPECT_EQ(stack.serials[0], stack.atqa + 2);
  EXPECT_EQ(stack.serials[1], stack.atqa + 2);
}

}  // namespace
}  // namespace kvt::app
