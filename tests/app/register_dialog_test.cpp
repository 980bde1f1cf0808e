#include "app/register_dialog.h"

#include <gtest/gtest.h>

#include "app/serial_ports.h"
#include "app_fixture.h"

namespace kvt::app {
namespace {

// Lower case and characters beyond 'F' become '0'; the characters between '9' and 'A' stay but
// end the number; far too large saturates and the low byte is kept.
TEST(HexTextToByte, ConvertsInPlaceAndSaysWhenItCorrected) {
  const struct {
    const char* text;
    const char* converted;
    uint8_t byte;
    bool changed;
  } cases[] = {{"A", "0A", 0x0A, false},   {"123", "23", 0x23, true},
               {"1FF", "FF", 0xFF, true},  {"7", "07", 0x07, false},
               {"", "00", 0x00, false},    {"a", "00", 0x00, true},
               {"G1", "01", 0x01, true},   {"1 2", "02", 0x02, true},
               {"1:2", "01", 0x01, false}, {"FFFFFFFFF", "FF", 0xFF, true}};
  for (const auto& c : cases) {
    std::string text = c.text;
    bool changed = false;
    EXPECT_EQ(HexTextToByte(text, changed), c.byte) << c.text;
    EXPECT_EQ(text, c.converted) << c.text;
    EXPECT_EQ(changed, c.changed) << c.text;
  }
}

class RegisterDialogTest : public test::AppFixture {
 protected:
  void openDialog() {
    connectSimulatedChip();
    OpenPort(context);
    dialog.init(window);
  }
  void type(int id, const std::string& text) {
    window.type(id, text);
    dialog.command(window, id, platform::notify::Changed);
  }
  void click(int id) { dialog.command(window, id, platform::notify::Clicked); }
  std::string result() const { return window.text(id::RegResult); }

  RegisterDialog dialog{app};
  kvt::test::FakeView window;
};

TEST_F(RegisterDialogTest, TypedFieldsAreCorrectedOnlyWhenNeeded) {
  openDialog();
  type(id::RegAddress, "1");
  EXPECT_EQ(window.text(id::RegAddress), "1");  // stays while typing
  type(id::RegAddress, "123");
  EXPECT_EQ(window.text(id::RegAddress), "23");
  type(id::RegAddress, "a");
  EXPECT_EQ(window.text(id::RegAddress), "A");  // shown in capitals, read as 0A
  type(id::RegValue, "1FF");
  EXPECT_EQ(window.text(id::RegValue), "FF");
  EXPECT_EQ(window.text(id::RegBinary), "11111111");
  type(id::RegValue, "7");
  EXPECT_EQ(window.text(id::RegValue), "7");
  EXPECT_EQ(window.text(id::RegBinary), "00000111");
  click(id::RegSet);
  EXPECT_EQ(result(), "SR: 0A 07                      // (STKSTATUS 0000)");
}

TEST_F(RegisterDialogTest, SetAndGetShowTheirResultLinesAndLogThemOnRequest) {
  openDialog();
  type(id::RegAddress, "3F");
  type(id::RegValue, "FF");
  click(id::RegSet);
  EXPECT_EQ(chip.peek(0x3F), 0xFF);
  EXPECT_EQ(result(), "SR: 3F FF                      // (STKSTATUS 0000)");
  EXPECT_EQ(result().find('('), 34u);
  EXPECT_EQ(logText(), "");  // the log switch is off

  chip.poke(0x05, 0x5A);
  type(id::RegAddress, "5");
  window.setChecked(id::RegLogEnable, true);
  click(id::RegLogEnable);
  click(id::RegGet);
  EXPECT_EQ(window.text(id::RegValue), "5A");
  EXPECT_EQ(window.text(id::RegBinary), "01011010");
  EXPECT_EQ(result(), "GR: 05          // data == 5A  // (STKSTATUS 0000)");
  EXPECT_EQ(result().find('('), 34u);
  EXPECT_EQ(logText(), result() + "\r\n");

  click(id::RegLogClear);
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(main.text(id::LogPane), "");
}

TEST_F(RegisterDialogTest, AccessesWithTheClosedPortFailWithAStatus) {
  dialog.init(window);
  type(id::RegAddress, "01");
  click(id::RegSet);
  EXPECT_EQ(result(), "SR: 01 00                      // (STKSTATUS 0104)");
  click(id::RegGet);
  EXPECT_EQ(result().substr(34), "(STKSTATUS 0104)");
}

TEST_F(RegisterDialogTest, EachAccessPurgesThePortFirst) {
  connectScriptedPort();
  OpenPort(context);
  dialog.init(window);
  scripted->answer({0x01});
  click(id::RegSet);
  click(id::RegGet);
  EXPECT_EQ(scripted->purges(), 3);  // the open, then each access
}

TEST_F(RegisterDialogTest, EveryAccessHoldsTheChipLock) {
  test::RecordingStack stack(app);
  app.registerControl = &stack;
  dialog.init(window);
  click(id::RegSet);
  click(id::RegGet);
  EXPECT_EQ(stack.calls, (std::vector<std::string>{"SetRegister 00 00", "GetRegister 00"}));
  EXPECT_EQ(stack.callsWithoutLock, 0);
}

TEST_F(RegisterDialogTest, ClosingKeepsTheTextsForTheNextOpening) {
  app.registerDialog = &window;
  app.registerLogEnabled = 1;
  app.monospaceFont = true;
  dialog.init(window);
  EXPECT_TRUE(window.checked(id::RegLogEnable));
  EXPECT_TRUE(window.monospace[id::RegResult]);
  window.type(id::RegAddress, "12");
  window.type(id::RegValue, std::string(25, '7'));
  click(id::RegQuit);
  EXPECT_EQ(app.registerDialog, nullptr);
  EXPECT_EQ(window.closedWith, 0);
  kvt::test::FakeView again;
  dialog.init(again);
  EXPECT_EQ(again.text(id::RegAddress), "12");
  EXPECT_EQ(again.text(id::RegValue), std::string(19, '7'));
}

}  // namespace
}  // namespace kvt::app
