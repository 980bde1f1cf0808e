#include "app/register_dialog.h"

#include <gtest/gtest.h>

#include <future>

#include "app/control_ids.h"
#include "app/serial_ports.h"
#include "app_fixture.h"

namespace kvt::app {
namespace {

struct HexCase {
  const char* text;
  const char* converted;
  uint8_t byte;
  bool changed;
};

class HexTextToByteTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexTextToByteTest, ConvertsInPlace) {
  const HexCase& c = GetParam();
  std::string text = c.text;
  bool changed = false;
  EXPECT_EQ(HexTextToByte(text, changed), c.byte);
  EXPECT_EQ(text, c.converted);
  EXPECT_EQ(changed, c.changed);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, HexTextToByteTest,
    ::testing::Values(HexCase{"A", "0A", 0x0A, false}, HexCase{"123", "23", 0x23, true},
                      HexCase{"1FF", "FF", 0xFF, true}, HexCase{"7", "07", 0x07, false},
                      HexCase{"3F", "3F", 0x3F, false}, HexCase{"1", "01", 0x01, false},
                      HexCase{"", "00", 0x00, false},
                      // lower case and characters beyond 'F' become '0'
                      HexCase{"a", "00", 0x00, true}, HexCase{"G1", "01", 0x01, true},
                      HexCase{"1 2", "02", 0x02, true},
                      // the characters between '9' and 'A' stay but end the number
                      HexCase{"1:2", "01", 0x01, false},
                      // far too large: saturates, the low byte is kept
                      HexCase{"FFFFFFFFF", "FF", 0xFF, true}));

TEST(ByteToBinary, MostSignificantBitFirst) {
  EXPECT_EQ(ByteToBinary(0x07), "00000111");
  EXPECT_EQ(ByteToBinary(0xFF), "11111111");
  EXPECT_EQ(ByteToBinary(0x80), "10000000");
  EXPECT_EQ(ByteToBinary(0x00), "00000000");
}

TEST(ResultLines, StatusParenthesisStandsAtColumn34) {
  const std::string set = FormatSetLine(0x3F, 0xFF, 0x0000);
  const std::string get = FormatGetLine(0x05, 0x5A, 0x0104);
  EXPECT_EQ(set, "SR: 3F FF                      // (STKSTATUS 0000)");
  EXPECT_EQ(get, "GR: 05          // data == 5A  // (STKSTATUS 0104)");
  EXPECT_EQ(set.find('('), 34u);
  EXPECT_EQ(get.find('('), 34u);
}

class RegisterDialogTest : public test::AppFixture {
 protected:
  void openDialog() {
    connectSimulatedChip();
    OpenPort(context);
    app.logBuffer->clear(nullptr, 0);
    dialog.init(window);
  }
  void type(int id, const std::string& text) {
    window.type(id, text);
    dialog.command(window, id, platform::notify::Changed);
  }

  RegisterDialog dialog{app};
  kvt::test::FakeView window;
};

TEST_F(RegisterDialogTest, OpensWithTheKeptTextsLogSwitchAndFont) {
  app.registerAddressText = "3F";
  app.registerValueText = "A5";
  app.registerLogEnabled = 1;
  app.monospaceFont = true;
  dialog.init(window);
  EXPECT_EQ(window.text(id::RegAddress), "3F");
  EXPECT_EQ(window.text(id::RegValue), "A5");
  EXPECT_TRUE(window.checked(id::RegLogEnable));
  for (int id : {id::RegAddress, id::RegValue, id::RegBinary, id::RegResult}) {
    EXPECT_TRUE(window.monospace[id]) << id;
  }
}

TEST_F(RegisterDialogTest, TypedFieldsAreCorrectedOnlyWhenNeeded) {
  openDialog();
  type(id::RegAddress, "1");
  EXPECT_EQ(window.text(id::RegAddress), "1");  // stays while typing
  type(id::RegAddress, "123");
  EXPECT_EQ(window.text(id::RegAddress), "23");
  type(id::RegAddress, "a");
  EXPECT_EQ(window.text(id::RegAddress), "A");  // shown in capitals

  type(id::RegValue, "1FF");
  EXPECT_EQ(window.text(id::RegValue), "FF");
  EXPECT_EQ(window.text(id::RegBinary), "11111111");
  type(id::RegValue, "7");
  EXPECT_EQ(window.text(id::RegValue), "7");
  EXPECT_EQ(window.text(id::RegBinary), "00000111");
}

TEST_F(RegisterDialogTest, SetWritesTheRegisterAndShowsTheResultLine) {
  openDialog();
  type(id::RegAddress, "3F");
  type(id::RegValue, "FF");
  dialog.command(window, id::RegSet, platform::notify::Clicked);
  EXPECT_EQ(chip.peek(0x3F), 0xFF);
  EXPECT_EQ(window.text(id::RegResult), "SR: 3F FF                      // (STKSTATUS 0000)");
  EXPECT_EQ(logText(), "");  // the log switch is off

  type(id::RegAddress, "2a");  // an upper-case edit: this is register 0x2A
  EXPECT_EQ(window.text(id::RegAddress), "2A");
  type(id::RegValue, "3C");
  window.setChecked(id::RegLogEnable, true);
  dialog.command(window, id::RegLogEnable, platform::notify::Clicked);
  dialog.command(window, id::RegSet, platform::notify::Clicked);
  EXPECT_EQ(chip.peek(0x2A), 0x3C);
  EXPECT_EQ(logText(), "SR: 2A 3C                      // (STKSTATUS 0000)\r\n");
}

TEST_F(RegisterDialogTest, GetShowsTheValueInHexAndBinary) {
  openDialog();
  chip.poke(0x05, 0x5A);
  type(id::RegAddress, "5");
  dialog.command(window, id::RegGet, platform::notify::Clicked);
  EXPECT_EQ(window.text(id::RegValue), "5A");
  EXPECT_EQ(window.text(id::RegBinary), "01011010");
  EXPECT_EQ(window.text(id::RegResult), "GR: 05          // data == 5A  // (STKSTATUS 0000)");
}

TEST_F(RegisterDialogTest, AccessesWithTheClosedPortFailWithAStatus) {
  dialog.init(window);
  type(id::RegAddress, "01");
  dialog.command(window, id::RegSet, platform::notify::Clicked);
  EXPECT_EQ(window.text(id::RegResult), "SR: 01 00                      // (STKSTATUS 0104)");
  dialog.command(window, id::RegGet, platform::notify::Clicked);
  EXPECT_EQ(window.text(id::RegResult).substr(34), "(STKSTATUS 0104)");
}

TEST_F(RegisterDialogTest, EachAccessPurgesThePortFirst) {
  connectScriptedPort();
  OpenPort(context);
  dialog.init(window);
  scripted->answer({0x01});
  dialog.command(window, id::RegSet, platform::notify::Clicked);
  dialog.command(window, id::RegGet, platform::notify::Clicked);
  EXPECT_EQ(scripted->purges(), 2);
}

// A register control that checks, on another thread, that the chip lock is held meanwhile.
class LockProbe final : public chip::IRegisterControl {
 public:
  explicit LockProbe(AppState& app) : app_(app) {}
  chip::Status SetRegister(chip::RegisterParams*) override { return probe(); }
  chip::Status GetRegister(chip::RegisterParams*) override { return probe(); }
  chip::Status ModifyRegister(chip::ModifyRegisterParams*) override { return probe(); }
  chip::Status SetRegisterMultiple(chip::RegisterMultipleParams*) override { return probe(); }
  chip::Status GetRegisterMultiple(chip::RegisterMultipleParams*) override { return probe(); }
  int heldCount = 0;
  int calls = 0;

 private:
  chip::Status probe() {
    ++calls;
    const bool free = std::async(std::launch::async, [this] {
                        if (!app_.chipLock.try_lock()) return false;
                        app_.chipLock.unlock();
                        return true;
                      }).get();
    if (!free) ++heldCount;
    return chip::status::Success;
  }
  AppState& app_;
};

TEST_F(RegisterDialogTest, EveryAccessHoldsTheChipLock) {
  LockProbe probe(app);
  app.registerControl = &probe;
  dialog.init(window);
  dialog.command(window, id::RegSet, platform::notify::Clicked);
  dialog.command(window, id::RegGet, platform::notify::Clicked);
  EXPECT_EQ(probe.calls, 2);
  EXPECT_EQ(probe.heldCount, 2);
}

TEST_F(RegisterDialogTest, ClosingKeepsTheTextsAndForgetsTheDialog) {
  app.registerDialog = &window;
  dialog.init(window);
  window.type(id::RegAddress, "12");
  window.type(id::RegValue, std::string(25, '7'));
  dialog.command(window, id::RegQuit, platform::notify::Clicked);
  EXPECT_EQ(app.registerAddressText, "12");
  EXPECT_EQ(app.registerValueText, std::string(19, '7'));
  EXPECT_EQ(app.registerDialog, nullptr);
  EXPECT_EQ(window.closedWith, 0);
}

TEST_F(RegisterDialogTest, ClearEmptiesTheMainLog) {
  openDialog();
  app.logBuffer->append("old", true, &main, id::LogPane);
  dialog.command(window, id::RegLogClear, platform::notify::Clicked);
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(main.text(id::LogPane), "");
}

}  // namespace
}  // namespace kvt::app
