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

// Typing, results and the log switch are checked by the register_* files of tests/app/dialogs.
class RegisterDialogTest : public test::AppFixture {
 protected:
  void click(int id) { dialog.command(window, id, platform::notify::Clicked); }

  RegisterDialog dialog{app};
  kvt::test::FakeView window;
};

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
