#include "app/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/control_ids.h"
#include "sim/iso14443a_card.h"
#include "support/fake_view.h"

namespace kvt::app {
namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  ApplicationTest() {
    dir = std::filesystem::temp_directory_path() /
          ("kvt_application_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    startFile = dir / "kvt_start.cfg";
  }
  ~ApplicationTest() override { std::filesystem::remove_all(dir); }

  std::string readStartFile() const {
    std::ifstream in(startFile, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  std::filesystem::path dir;
  std::filesystem::path startFile;
  kvt::test::FakeShell shell;
};

TEST_F(ApplicationTest, StartUpReadsThePortAndTheSwitchAndWiresTheStack) {
  std::ofstream(startFile) << "3";
  Application application("--sim -pi", dir);
  AppState& app = application.state();
  EXPECT_EQ(app.portIndex, 3);
  EXPECT_EQ(app.piHidden, 0);
  EXPECT_EQ(app.startFilePath, startFile.string());
  EXPECT_EQ(app.commandFilePath, "NULL");
  EXPECT_EQ(app.baudIndex, 0);
  EXPECT_EQ(app.port, nullptr);
  EXPECT_EQ(app.logBuffer, &application.log());
  EXPECT_EQ(app.registerAddressText, "00");
  EXPECT_NE(app.serialBus, nullptr);
  EXPECT_NE(app.registerControl, nullptr);
  EXPECT_NE(app.transceiver, nullptr);
  EXPECT_NE(app.korvexReader, nullptr);
  EXPECT_NE(app.iso14443A, nullptr);
  EXPECT_NE(app.passivePolling, nullptr);
  EXPECT_NE(app.operationControl, nullptr);
  EXPECT_EQ(app.serialBusObject, &application.components().serialBus);

  Application plain("-PI", dir);
  EXPECT_EQ(plain.state().piHidden, 1);
}

TEST_F(ApplicationTest, ARunOnTheSimulatedChipAndTheExitRewrite) {
  std::ofstream(startFile, std::ios::binary)
      << "3\n[Ports]\nCOM4=sim\nCOM2=sim\n[TestLog]\nInterface=1\n";
  Application application("", dir);
  shell.modalDriver = [](int dialogId, kvt::test::FakeView& view,
                         platform::DialogProcedure& procedure) {
    if (dialogId == id::MainWindowDialog) {
      EXPECT_EQ(view.text(id::PortName), "COM4:");
      procedure.command(view, id::OpenButton, platform::notify::Clicked);
      EXPECT_EQ(view.text(id::OpenClosed), "O");
      procedure.command(view, id::DumpRegister, platform::notify::Clicked);
      procedure.command(view, id::CloseButton, platform::notify::Clicked);
      procedure.command(view, id::MenuSettings, platform::notify::Clicked);
      procedure.closeRequest(view);
    } else if (dialogId == id::PortSettingsDialog) {
      view.selectItem(id::PortList, 1);  // COM2:
      procedure.command(view, id::Apply, platform::notify::Clicked);
    }
  };
  EXPECT_EQ(application.run(shell), 0);
  EXPECT_EQ(application.state().portIndex, 1);
  EXPECT_EQ(readStartFile(), "1\n[Ports]\nCOM4=sim\nCOM2=sim\n[TestLog]\nInterface=1\n");
  // The dump ran on the simulated chip: title, header and four rows.
  const std::string log = application.log().text();
  EXPECT_EQ(log.find("Writing Error"), std::string::npos);
  EXPECT_NE(log.find("\r\nP3 "), std::string::npos);
}

TEST_F(ApplicationTest, AMissingStartFileIsCreatedWithZero) {
  Application application("", dir);
  EXPECT_EQ(application.state().portIndex, 0);
  shell.modalDriver = [](int, kvt::test::FakeView& view, platform::DialogProcedure& procedure) {
    procedure.closeRequest(view);
  };
  application.run(shell);
  EXPECT_EQ(readStartFile(), "0");
}

TEST_F(ApplicationTest, SampleActionsDriveACardOnTheSimulatedChip) {
  std::ofstream(startFile, std::ios::binary) << "0\n[Ports]\nCOM1=sim\n";
  Application application("-pi", dir);
  auto card = std::make_shared<sim::Iso14443ACard>(std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44});
  application.portOpener().setSimulatorSetup([card](sim::Kv380& chip) { chip.field().add(card); });
  shell.modalDriver = [](int, kvt::test::FakeView& view, platform::DialogProcedure& procedure) {
    procedure.command(view, id::OpenButton, platform::notify::Clicked);
    procedure.command(view, 50501, platform::notify::Clicked);
    procedure.closeRequest(view);
  };
  application.run(shell);
  EXPECT_EQ(application.log().text(), "Sample Action 2\r\n");
  EXPECT_EQ(card->state(), sim::Iso14443ACard::State::Halt);
}

}  // namespace
}  // namespace kvt::app
