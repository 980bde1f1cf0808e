// The card reader's steps as command-line words, run headless against the simulated chip.
#include "cli/card_steps.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cardreader/card_opening.h"
#include "cardreader/card_reader_fixture.h"
#include "cli/headless_dialog_view.h"

namespace kvt::cardreader::test {
namespace {

using cli::CardRunResult;
using cli::HeadlessDialogView;
using cli::ParseCardSteps;
using cli::RunCardSteps;
using Words = std::vector<std::string>;

TEST(CardStepsParseTest, MalformedStepsAreRefusedWithAReason) {
  const std::pair<Words, std::string> cases[] = {
      {{}, "no card steps given"},
      {{"reqa"}, "unknown card step 'reqa'"},
      {{"auth"}, "auth needs a or b"},
      {{"auth", "a", "5A17C3E90B4"}, "a key has 12 hex digits: 5A17C3E90B4"},
      {{"auth", "a", "5A17C3E90B42F"}, "a key has 12 hex digits: 5A17C3E90B42F"},
      {{"write", "0011"}, "write needs 32 hex digits"},
      {{"writekl", "DEADBEEF0"}, "writekl needs 8 hex digits"},
      {{"writekl", "DEADBEEG"}, "writekl needs 8 hex digits"},
      {{"block"}, "block needs a number 0..255"},
      {{"block", "256"}, "block needs a number 0..255: 256"},
      {{"block", "1x"}, "block needs a number 0..255: 1x"},
      {{"sam", "maybe"}, "sam needs on or off"},
  };
  for (const auto& [words, reason] : cases) {
    std::string error;
    EXPECT_FALSE(ParseCardSteps(words, error)) << reason;
    EXPECT_EQ(error, reason);
  }
}

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

class CardStepsRunTest : public CardReaderTest {
 protected:
  CardRunResult run(const Words& words) {
    std::string error;
    const auto steps = ParseCardSteps(words, error);
    EXPECT_TRUE(steps) << error;
    if (!steps) return {};
    return RunCardSteps(app, headless, session, *steps, diagnostics);
  }
  std::ostringstream out;
  HeadlessDialogView headless{out, id::LogPane};
};

TEST_F(CardStepsRunTest, StepsRunInOrderAndTheLogIsPrinted) {
  addDefaultCard();
  // Keywords in any case.
  const auto result = run({"ACTIVATE", "Block", "4", "Auth", "A", "block", "16", "WriteKL",
                           "CAFEF00D", "BLOCK", "4", "read", "SAM", "On"});
  EXPECT_EQ(out.str(),
            "Request(0x26, 0x0400) --> Status: 0x0000\n"
            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000\n"
            "Authentication KeyA(0x04, 0x5A17C3E90B42) --> Status: 0x0000\n"
            "WriteKL(0x10, 0xCAFEF00D) --> Status: 0x0000\n"
            "Read(0x04, 0xCAFEF00D000000000000000000000000) --> Status: 0x0000\n"
            "Enabling SAM Mode\n");
  EXPECT_EQ(result.openingStatus, 0);
  EXPECT_EQ(result.failedSteps, 0);
  // The dialog is still open: its log holds the lines until it closes.
  CloseCardReader(app::DialogContext{app.mainWindow, &headless, app.instance, 0, 0, &app});
  EXPECT_EQ(log.text(), "");
}

TEST_F(CardStepsRunTest, WupaAndKeysGivenOnTheLineAreUsed) {
  addDefaultCard();
  const auto result = run({"activate", "halt", "request", "request", "wupa", "select", "auth", "b",
                           "5A17C3E90B42", "auth", "a", "FFFFFFFFFFFF"});
  EXPECT_EQ(out.str(),
            "Request(0x26, 0x0400) --> Status: 0x0000\n"
            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000\n"
            "Halt(0x50, 0x00) --> Status: 0x0000\n"
            "Request(0x26, 0x0000) --> Status: 0x0001\n"
            "Request(0x52, 0x0400) --> Status: 0x0000\n"
            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000\n"
            "Authentication KeyB(0x00, 0x5A17C3E90B42) --> Status: 0x0000\n"
            "Authentication KeyA(0x00, 0xFFFFFFFFFFFF) --> Status: 0x0201\n");
  // The REQA to the halted card, and key A, which is not FFFFFFFFFFFF: the crypto bit left on
  // by the key B authentication must not pass for a second success.
  EXPECT_EQ(result.failedSteps, 2);
}

TEST_F(CardStepsRunTest, FailedStepsAreCounted) {
  const auto result = run({"activate", "read", "sam", "off"});
  EXPECT_EQ(result.failedSteps, 2);  // activate counts once; SAM mode has no status
  EXPECT_EQ(out.str().substr(out.str().rfind("Disabling")), "Disabling SAM Mode\n");
}

// A stop (Ctrl-C, SIGTERM) between two steps: the step in progress ends, no later one runs.
TEST_F(CardStepsRunTest, AStopEndsTheStepsBeforeTheNextOne) {
  addDefaultCard();
  std::string error;
  const auto steps = ParseCardSteps(Words{"activate", "auth", "a", "read"}, error);
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
