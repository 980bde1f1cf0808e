#include "app/programming_interface.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace kvt::app {
namespace {

using ProgrammingInterfaceTest = test::AppFixture;

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

}  // namespace
}  // namespace kvt::app
