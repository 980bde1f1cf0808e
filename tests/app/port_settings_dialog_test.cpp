#include "app/port_settings_dialog.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace kvt::app {
namespace {

using platform::notify::Clicked;

class PortSettingsDialogTest : public test::AppFixture {
 protected:
  PortSettingsDialog dialog{app};
  kvt::test::FakeView window;
};

TEST_F(PortSettingsDialogTest, OpensWithTheEightPortsAndTheCurrentChoice) {
  app.portIndex = 5;
  serialBus.setBitReversed(true);
  opener.descriptions["COM2:"] = "/dev/ttyUSB0";
  dialog.init(window);
  const auto& list = window.lists[id::PortList];
  EXPECT_EQ(list.items, (std::vector<std::string>{"COM1:", "COM2:  (/dev/ttyUSB0)", "COM3:",
                                                  "COM4:", "COM5:", "COM6:", "COM7:", "COM8:"}));
  EXPECT_EQ(list.selected, 5);
  EXPECT_EQ(window.text(id::VerifyResult), "Unknown");
  EXPECT_TRUE(window.checked(id::TestChip));
  EXPECT_FALSE(window.isVisible(id::TestChip));
}

TEST_F(PortSettingsDialogTest, VerifyReportsOkNokAndNoSelection) {
  connectSimulatedChip("COM3:");
  opener.errors["COM4:"] = 16;  // held by someone else
  dialog.init(window);
  window.selectItem(id::PortList, 2);
  dialog.command(window, id::Verify, Clicked);
  EXPECT_EQ(window.text(id::VerifyResult), "OK (0x00000000)");
  window.selectItem(id::PortList, 3);
  dialog.command(window, id::PortList, platform::notify::SelectionChanged);
  EXPECT_EQ(window.text(id::VerifyResult), "Unknown");
  dialog.command(window, id::Verify, Clicked);
  EXPECT_EQ(window.text(id::VerifyResult), "NOK (0x00000010)");
  window.selectItem(id::PortList, -1);
  dialog.command(window, id::Verify, Clicked);
  EXPECT_EQ(window.text(id::VerifyResult), "NOK (No Sel.)");
  EXPECT_EQ(opener.verified, (std::vector<std::string>{"COM3:", "COM4:"}));
  EXPECT_EQ(app.port, nullptr);  // verifying never opens the program's port
  EXPECT_FALSE(window.closedWith.has_value());
}

TEST_F(PortSettingsDialogTest, ApplyTakesTheChoiceOrCom1AndBothBitOrderFlagsFromTheBox) {
  dialog.init(window);
  window.selectItem(id::PortList, 1);
  window.setChecked(id::TestChip, true);
  dialog.command(window, id::Apply, Clicked);
  EXPECT_EQ(window.closedWith, 1);
  EXPECT_EQ(app.portIndex, 1);
  EXPECT_EQ(main.text(id::PortName), "COM2:");
  EXPECT_EQ(main.text(id::BitOrder), "R");
  EXPECT_TRUE(serialBus.bitReversed());
  EXPECT_TRUE(registerControl.testChipAddressing());

  app.baudIndex = 2;
  dialog.init(window);
  window.selectItem(id::PortList, -1);
  window.setChecked(id::TestChip, false);
  dialog.command(window, id::Apply, Clicked);
  EXPECT_EQ(app.portIndex, 0);
  EXPECT_EQ(app.baudIndex, 0);
  EXPECT_EQ(main.text(id::PortName), "COM1:");
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(main.text(id::BitOrder), "N");
  EXPECT_FALSE(serialBus.bitReversed());
}

TEST_F(PortSettingsDialogTest, DiscardAndTheCloseBoxChangeNothing) {
  app.portIndex = 6;
  dialog.init(window);
  window.selectItem(id::PortList, 0);
  window.setChecked(id::TestChip, true);
  dialog.command(window, id::Discard, Clicked);
  EXPECT_EQ(window.closedWith, 0);
  kvt::test::FakeView again;
  dialog.init(again);
  again.selectItem(id::PortList, 0);
  dialog.closeRequest(again);
  EXPECT_EQ(again.closedWith, 0);
  EXPECT_EQ(app.portIndex, 6);
  EXPECT_FALSE(serialBus.bitReversed());
  EXPECT_TRUE(main.texts.empty());
}

}  // namespace
}  // namespace kvt::app
