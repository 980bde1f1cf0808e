#include "app/application.h"

#include <gtest/gtest.h>

#include "app_fixture.h"

namespace kvt::app {
namespace {

using platform::notify::Clicked;

class ApplicationTest : public ::testing::Test {
 protected:
  void writeStartFile(const std::string& content) {
    std::ofstream(startFile, std::ios::binary) << content;
  }

  // The programs hand in their simulated chip; the tests hand in theirs.
  void useSimulatedChip(Application& application) {
    application.portOpener().setSimulatedPorts(
        [this] { return std::make_unique<sim::SimulatedPort>(chip); });
  }

  sim::Kv380 chip;
  test::TempFolder folder;
  std::filesystem::path startFile = folder.path / "kvt_start.cfg";
  kvt::test::FakeShell shell;
};

TEST_F(ApplicationTest, ARunOnTheSimulatedChipAndTheExitRewrite) {
  writeStartFile("3\n[Ports]\nCOM4=sim\nCOM2=sim\n[TestLog]\nInterface=1\n");
  Application application("", folder.path);
  useSimulatedChip(application);
  shell.modalDriver = [](int dialogId, kvt::test::FakeView& view,
                         platform::DialogProcedure& procedure) {
    if (dialogId == id::MainWindowDialog) {
      EXPECT_EQ(view.text(id::PortName), "COM4:");
      procedure.command(view, id::OpenButton, Clicked);
      EXPECT_EQ(view.text(id::OpenClosed), "O");
      procedure.command(view, id::DumpRegister, Clicked);
      procedure.command(view, id::CloseButton, Clicked);
      procedure.command(view, id::MenuSettings, Clicked);
      procedure.closeRequest(view);
    } else if (dialogId == id::PortSettingsDialog) {
      view.selectItem(id::PortList, 1);  // COM2:
      procedure.command(view, id::Apply, Clicked);
    }
  };
  EXPECT_EQ(application.run(shell), 0);
  EXPECT_EQ(test::ReadFile(startFile), "1\n[Ports]\nCOM4=sim\nCOM2=sim\n[TestLog]\nInterface=1\n");
  // Rewritten through a temporary file that is gone afterwards.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);
  // The dump ran on the simulated chip: title, header and four rows.
  const std::string log = application.log().text();
  EXPECT_EQ(log.find("Writing Error"), std::string::npos);
  EXPECT_NE(log.find("\r\nP3 "), std::string::npos);
}

TEST_F(ApplicationTest, AMissingStartFileSelectsCom1AndIsCreatedWithZero) {
  Application application("--sim -pi", folder.path);
  EXPECT_EQ(application.state().portIndex, 0);
  EXPECT_EQ(application.state().piHidden, 0);
  EXPECT_EQ(Application("-PI", folder.path).state().piHidden, 1);
  shell.modalDriver = [](int, kvt::test::FakeView& view, platform::DialogProcedure& procedure) {
    procedure.closeRequest(view);
  };
  application.run(shell);
  EXPECT_EQ(test::ReadFile(startFile), "0");
}

}  // namespace
}  // namespace kvt::app
