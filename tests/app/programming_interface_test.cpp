#include "app/programming_interface.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/control_ids.h"
#include "app/serial_ports.h"
#include "app/text_format.h"
#include "app_fixture.h"
#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/operation_control.h"
#include "platform/profile.h"

namespace kvt::app {
namespace {

// Records every component call a programming interface action makes, in order.
struct CallLog {
  std::vector<std::string> calls;
  uint8_t* atqa = nullptr;
  std::vector<uint8_t*> serials;
};

class RecordingRegisters final : public chip::IRegisterControl {
 public:
  explicit RecordingRegisters(CallLog& log) : log_(log) {}
  chip::Status SetRegister(chip::RegisterParams* p) override {
    log_.calls.push_back(Format("SetRegister %02X %02X", p->address, p->value));
    return chip::status::Success;
  }
  chip::Status GetRegister(chip::RegisterParams* p) override {
    log_.calls.push_back(Format("GetRegister %02X", p->address));
    p->value = 0xF7;
    return chip::status::SerialInterface;  // statuses are not examined
  }
  chip::Status ModifyRegister(chip::ModifyRegisterParams*) override { return fail("Modify"); }
  chip::Status SetRegisterMultiple(chip::RegisterMultipleParams*) override {
    return fail("SetMultiple");
  }
  chip::Status GetRegisterMultiple(chip::RegisterMultipleParams*) override {
    return fail("GetMultiple");
  }

 private:
  chip::Status fail(const char* name) {
    log_.calls.push_back(name);
    return chip::status::Success;
  }
  CallLog& log_;
};

class RecordingIso14443A final : public chip::IIso14443A {
 public:
  explicit RecordingIso14443A(CallLog& log) : log_(log) {}
  chip::Status SetWaitEventCallback(chip::WaitCallbackParams<chip::Iso14443ARecord>*) override {
    log_.calls.push_back("SetWaitEventCallback");
    return chip::status::Success;
  }
  chip::Status RequestA(chip::RequestParams* p) override {
    log_.calls.push_back(Format("RequestA %02X", p->requestCode));
    log_.atqa = p->atqa;
    return chip::status::Timeout;
  }
  chip::Status AnticollisionSelect(chip::AnticollisionParams* p) override {
    log_.calls.push_back(Format("AnticollisionSelect %02X %u", p->selectCode, p->knownBits));
    log_.serials.push_back(p->serial);
    return chip::status::Timeout;
  }
  chip::Status Select(chip::AnticollisionParams* p) override {
    log_.calls.push_back(Format("Select %02X %u", p->selectCode, p->knownBits));
    log_.serials.push_back(p->serial);
    return chip::status::Timeout;
  }
  chip::Status HaltA(chip::HaltParams*) override {
    log_.calls.push_back("HaltA");
    return chip::status::Success;
  }

 private:
  CallLog& log_;
};

class RecordingKorvexReader final : public chip::IKorvexReader {
 public:
  explicit RecordingKorvexReader(CallLog& log) : log_(log) {}
  chip::Status Exchange(chip::KorvexCommandParams*) override { return record("Exchange"); }
  chip::Status TwoPhaseExchange(chip::KorvexCommandParams*) override {
    return record("TwoPhaseExchange");
  }
  chip::Status KorvexCommand(chip::KorvexCommandParams* p) override {
    return record(Format("KorvexCommand %02X %02X %u", p->command, p->address, p->dataLength));
  }

 private:
  chip::Status record(std::string call) {
    log_.calls.push_back(std::move(call));
    return chip::status::Success;
  }
  CallLog& log_;
};

class RecordingOperationControl final : public chip::IOperationControl {
 public:
  explicit RecordingOperationControl(CallLog& log) : log_(log) {}
  chip::Status SetWaitEventCallback(
      chip::WaitCallbackParams<chip::OperationControlRecord>*) override {
    log_.calls.push_back("SetWaitEventCallback");
    return chip::status::Success;
  }
  chip::Status SetAttribute(chip::AttributeParams* p) override {
    std::string call =
        Format("SetAttribute %02X %02X %02X %02X ", p->group, p->attribute, p->value1, p->value2);
    for (int i = 0; i < p->value2; ++i) call += Format("%02X", p->attributeBuffer[i]);
    log_.calls.push_back(call);
    return chip::status::NotSupported;
  }
  chip::Status GetAttribute(chip::AttributeParams*) override {
    log_.calls.push_back("GetAttribute");
    return chip::status::Success;
  }

 private:
  CallLog& log_;
};

class ProgrammingInterfaceTest : public test::AppFixture {
 protected:
  DialogContext contextFor(int id) {
    DialogContext c = context;
    c.wParam = static_cast<uintptr_t>(id);
    return c;
  }
  // Opens a scripted port and puts recording components in place of the stack.
  void openWithRecorders() {
    connectScriptedPort();
    OpenPort(context);
    app.registerControl = &registers;
    app.iso14443A = &iso;
    app.korvexReader = &korvex;
    app.operationControl = &attributes;
  }

  CallLog calls;
  RecordingRegisters registers{calls};
  RecordingIso14443A iso{calls};
  RecordingKorvexReader korvex{calls};
  RecordingOperationControl attributes{calls};
};

TEST_F(ProgrammingInterfaceTest, TheMenuReadsActionThreeActionTwoKorvexReader) {
  FillPiMenu(context);
  AddPiMenuItem(context, 50503, "My &Action");
  ASSERT_EQ(app.piMenu.size(), 4u);
  EXPECT_EQ(app.piMenu[0].id, 50503);
  EXPECT_EQ(app.piMenu[1].id, 50502);
  EXPECT_EQ(app.piMenu[1].text, "Action &3");
  EXPECT_EQ(app.piMenu[2].id, 50501);
  EXPECT_EQ(app.piMenu[2].text, "Action &2");
  EXPECT_EQ(app.piMenu[3].id, 50500);
  EXPECT_EQ(app.piMenu[3].text, "Korvex Reader");
}

TEST_F(ProgrammingInterfaceTest, TheChosenItemComesBackToTheMainWindowAsACommand) {
  ShowPiMenu(context);  // an empty menu is not shown
  EXPECT_TRUE(shell.popups.empty());
  FillPiMenu(context);
  shell.menuChoices = {50501, 0};
  ShowPiMenu(context);
  ASSERT_EQ(shell.posted.size(), 1u);
  EXPECT_EQ(shell.posted[0].window, &main);
  EXPECT_EQ(shell.posted[0].id, 50501);
  EXPECT_EQ(shell.popupAnchors[0], id::PiButton);
  EXPECT_EQ(shell.popups[0].size(), 3u);
  ShowPiMenu(context);  // dismissed: nothing is posted
  EXPECT_EQ(shell.posted.size(), 1u);
}

TEST_F(ProgrammingInterfaceTest, WithTheClosedPortEveryItemOnlyReportsThat) {
  app.registerControl = &registers;
  app.iso14443A = &iso;
  app.korvexReader = &korvex;
  app.operationControl = &attributes;
  for (int id : {50500, 50501, 50502, 50532}) RunPiAction(contextFor(id));
  const std::string error = "Error: Cannot perform user action with closed RS 232 port.\r\n";
  EXPECT_EQ(logText(), error + error + error + error);
  EXPECT_TRUE(calls.calls.empty());
}

TEST_F(ProgrammingInterfaceTest, KorvexReaderItemIsAnUnknownCommand) {
  openWithRecorders();
  RunPiAction(contextFor(50500));
  EXPECT_EQ(logText(), "Unknown Command Recognised by Programming Interface.\r\n");
  EXPECT_TRUE(calls.calls.empty());
  EXPECT_EQ(scripted->purges(), 1);
}

TEST_F(ProgrammingInterfaceTest, SampleActionOneReadsBlockFive) {
  openWithRecorders();
  RunPiAction(contextFor(50502));
  EXPECT_EQ(logText(), "Sample Action 1\r\n");
  EXPECT_EQ(calls.calls, std::vector<std::string>{"KorvexCommand 30 05 0"});
}

TEST_F(ProgrammingInterfaceTest, SampleActionTwoRunsItsCallsInOrder) {
  openWithRecorders();
  RunPiAction(contextFor(50501));
  EXPECT_EQ(logText(), "Sample Action 2\r\n");
  EXPECT_EQ(calls.calls,
            (std::vector<std::string>{"GetRegister 01", "SetRegister 01 0F",
                                      "SetAttribute 08 09 00 06 0A0B0C0D0E0F", "RequestA 52",
                                      "AnticollisionSelect 93 0", "Select 93 32", "HaltA"}));
  // The serial number goes to the work buffer right behind the ATQA.
  ASSERT_EQ(calls.serials.size(), 2u);
  EXPECT_EQ(calls.serials[0], calls.atqa + 2);
  EXPECT_EQ(calls.serials[1], calls.atqa + 2);
}

TEST(WriteProfileInteger, WritesDecimalText) {
  const auto file = std::filesystem::temp_directory_path() / "kvt_pi_profile_test.ini";
  std::filesystem::remove(file);
  ASSERT_TRUE(WriteProfileInteger("User", "Count", -42, file.string()));
  EXPECT_EQ(platform::GetPrivateProfileString("User", "Count", "", file.string()), "-42");
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace kvt::app
