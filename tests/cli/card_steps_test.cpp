// The headless view of the card reader's steps, and a stop between two steps.
#include "cli/card_steps.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cardreader/card_reader_fixture.h"
#include "cli/headless_dialog_view.h"

namespace kvt::cardreader::test {
namespace {

using cli::HeadlessDialogView;
using cli::ParseCardSteps;
using cli::RunCardSteps;

TEST(HeadlessDialogViewTest, PrintsWhatThePaneGainsWithLfLineEnds) {
  std::ostringstream out;
  HeadlessDialogView view(out, id::LogPane);
  view.setText(id::LogPane, "");
  view.appendText(id::LogPane, "one\r\n");
  view.setText(id::LogPane, "one\r\ntwo\r\n");  // a resent log prints only its new part
  view.setText(id::Hex, "not the pane\r\n");
  view.setText(id::LogPane, "three\r\n");  // a restarted log prints from its start
  view.appendText(id::LogPane, "a\rlone CR\r\n");
  EXPECT_EQ(out.str(), "one\ntwo\nthree\na\rlone CR\n");
  EXPECT_EQ(view.text(id::LogPane), "three\r\na\rlone CR\r\n");
  view.addItem(id::Block, "000");
  view.selectItem(id::Block, 1);  // no such entry
  EXPECT_EQ(view.selectedItem(id::Block), -1);
}

TEST(HeadlessDialogViewTest, WindowsSharingTheStreamPrintEachLineOnce) {
  std::ostringstream out;
  HeadlessDialogView mainWindow(out, 1014);
  HeadlessDialogView dialog(mainWindow, id::LogPane);
  app::Log log;
  log.append("main", true, &mainWindow, 1014);
  log.clear(&dialog, id::LogPane);
  log.append("card 1", true, &dialog, id::LogPane);
  log.append("from the main window", true, &mainWindow, 1014);  // resends the whole log there
  log.append("card 2", true, &dialog, id::LogPane);             // and back in the dialog
  EXPECT_EQ(out.str(), "main\ncard 1\nfrom the main window\ncard 2\n");
}

// A stop (Ctrl-C, SIGTERM) between two steps: the step in progress ends, no later one runs.
// What the steps print and how they fail is checked by tests/cli/cases.
TEST_F(CardReaderTest, AStopEndsTheCardStepsBeforeTheNextOne) {
  addDefaultCard();
  std::ostringstream out;
  HeadlessDialogView headless{out, id::LogPane};
  std::string error;
  const auto steps =
      ParseCardSteps(std::vector<std::string>{"activate", "auth", "a", "read"}, error);
  ASSERT_TRUE(steps) << error;
  int asked = 0;
  const auto result = RunCardSteps(app, headless, session, *steps, diagnostics, false,
                                   [&asked] { return ++asked > 1; });
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.skippedSteps, 2);
  EXPECT_EQ(out.str(),
            "Request(0x26, 0x0400) --> Status: 0x0000\n"
            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000\n");
}

}  // namespace
}  // namespace kvt::cardreader::test
