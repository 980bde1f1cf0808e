// Opening, closing and the main window's button of the card reader dialog.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/control_ids.h"
#include "app/serial_ports.h"
#include "card_reader_fixture.h"

namespace kvt::cardreader::test {
namespace {

using CardDialogTest = CardReaderTest;

// What the controls show after the opening is checked by steps/dialog_opening_fills_controls.
TEST_F(CardDialogTest, OpeningResetsTheChipFirstWithoutReports) {
  open();
  const auto& events = recorder->events;
  EXPECT_EQ(events.front(), "W01");                                 // the soft reset first
  EXPECT_EQ(std::count(events.begin(), events.end(), "R9600"), 0);  // already at 9600
  EXPECT_EQ(dialog.openingStatus(), 0);
  EXPECT_EQ(diagnostics.str(), "");
}

TEST_F(CardDialogTest, OpeningAt115200BringsChipAndPcBackTo115200) {
  app::SwitchAllTo115200(mainContext);
  ASSERT_EQ(chip.lineRate(), 115200u);
  recorder->events.clear();
  open();
  // The reset goes out at 115200; the chip restarts at 9600, so the PC follows before the
  // speed register is written and both move up again.
  const std::vector<std::string> expected = {"W01", "W0F", "R9600", "W1F", "W79", "R115200"};
  ASSERT_GE(recorder->events.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(recorder->events.begin(),
                                     recorder->events.begin() + expected.size()),
            expected);
  EXPECT_EQ(chip.lineRate(), 115200u);
  EXPECT_EQ(app.baudIndex, 2);
  EXPECT_EQ(main.text(app::id::HostSpeed), "115200");
  // The rest of the set-up and the steps go through at the new speed.
  EXPECT_EQ(diagnostics.str(), "");
  addDefaultCard();
  click(id::Request);
  EXPECT_EQ(lastLine(), "Request(0x26, 0x0400) --> Status: 0x0000");
}

TEST_F(CardDialogTest, RefusedSetUpGoesToDiagnosticsNotToTheLog) {
  recorder->port.disconnect();
  app.monospaceFont = false;
  open();
  const std::string report = diagnostics.str();
  EXPECT_EQ(report.substr(0, 26), "*** ERROR! Status = 7e03 \n");
  // Steps 3 to 10 each report their refusal; the reset is not examined.
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 8);
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(dialog.openingStatus(), 0x7E03);
  // A missing fixed-pitch font is reported in the main window.
  EXPECT_FALSE(view.monospace[id::LogPane]);
  EXPECT_NE(main.text(app::id::LogPane).find("ERROR: Cannot create monospace font!\r\n"),
            std::string::npos);
}

TEST_F(CardDialogTest, TheKorvexReaderButtonRunsTheDialogAndClosingEmptiesTheLog) {
  InstallCardReader(app);
  addDefaultCard();
  std::string paneWhileOpen;
  shell.modalDriver = [&](int dialogId, kvt::test::FakeView& window,
                          platform::DialogProcedure& procedure) {
    ASSERT_EQ(dialogId, id::CardReaderDialog);
    procedure.command(window, id::RequestAndSelect, platform::notify::Clicked);
    paneWhileOpen = window.text(id::LogPane);
    procedure.command(window, id::Exit, platform::notify::Clicked);
  };
  ASSERT_TRUE(app.services.runCardReaderDialog);
  app.services.runCardReaderDialog(mainContext);
  EXPECT_EQ(shell.modalDialogs, (std::vector<int>{id::CardReaderDialog}));
  EXPECT_EQ(paneWhileOpen,
            "Request(0x26, 0x0400) --> Status: 0x0000\r\n"
            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000\r\n");
  ASSERT_TRUE(shell.lastModal.has_value());
  EXPECT_EQ(shell.lastModal->closedWith, 0);
  EXPECT_EQ(shell.lastModal->text(id::LogPane), "");
  EXPECT_EQ(log.text(), "");
  // The main window's pane shows only what comes after.
  EXPECT_EQ(main.text(app::id::LogPane), "old main window text\r\n");
  app::AppendLog(mainContext, "next", true);
  EXPECT_EQ(main.text(app::id::LogPane), "next\r\n");
}

}  // namespace
}  // namespace kvt::cardreader::test
