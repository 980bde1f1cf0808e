// The wiring every program shares: options, the port choice and the simulated chip.
#include "cli/wiring/wired_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "chip/register_control.h"
#include "chip/serial_bus.h"

namespace kvt::wiring {
namespace {

class WiredProgramTest : public ::testing::Test {
 protected:
  WiredProgramTest() {
    std::filesystem::create_directories(folder);
    std::ofstream(startFile) << "0\n[Ports]\nCOM2=sim\n";
  }
  ~WiredProgramTest() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder = std::filesystem::temp_directory_path() / "kvt_wired_program";
  std::string startFile = (folder / "kvt_start.cfg").string();
};

TEST_F(WiredProgramTest, TheSimDeviceIsOneChipThatOutlivesItsPorts) {
  WiredProgram program(startFile, {});
  int setups = 0;
  program.setSimulatorSetup([&setups](sim::Kv380&) { ++setups; });
  app::DevicePortOpener& opener = program.portOpener();
  EXPECT_EQ(opener.describe("COM2:"), "sim");
  EXPECT_EQ(opener.verify("COM2:"), 0);

  chip::SerialBus bus;
  chip::RegisterControl registers;
  registers.Init(&bus);
  chip::RegisterParams params{0x3F, 0x17, nullptr};
  {
    auto opened = opener.open("COM2:");
    ASSERT_NE(opened.port, nullptr);
    bus.setPort(opened.port.get());
    EXPECT_EQ(registers.SetRegister(&params), chip::status::Success);
    bus.setPort(nullptr);
  }
  auto again = opener.open("COM2:");
  ASSERT_NE(again.port, nullptr);
  bus.setPort(again.port.get());
  params.value = 0;
  EXPECT_EQ(registers.GetRegister(&params), chip::status::Success);
  EXPECT_EQ(params.value, 0x17);  // the chip kept its register across the reopen
  EXPECT_EQ(setups, 1);
  bus.setPort(nullptr);
}

TEST_F(WiredProgramTest, ArgumentsChooseThePortTheCardsAndTheProgrammingInterface) {
  ProgramOptions options;
  std::string error;
  ASSERT_TRUE(
      ParseProgramArguments({"-pi", "--port=com4", "--sim-card", "01020304"}, options, error))
      << error;
  WiredProgram program(startFile, options);
  EXPECT_EQ(program.state().portIndex, 3);
  EXPECT_EQ(program.state().piHidden, 0);
  EXPECT_EQ(program.portOpener().describe("COM4:"), "/dev/ttyS3");
  EXPECT_EQ(program.simulatedChip().field().targets().size(), 1u);
  // Every subsystem is reachable from the main window.
  EXPECT_TRUE(program.state().services.executeLine);
  EXPECT_TRUE(program.state().services.runTestLogDialog);
  EXPECT_TRUE(program.state().services.runCardReaderDialog);

  ProgramOptions device;
  ASSERT_TRUE(ParseProgramArguments({"--port", "/dev/ttyUSB1"}, device, error)) << error;
  EXPECT_EQ(WiredProgram(startFile, device).portOpener().describe("COM1:"), "/dev/ttyUSB1");

  EXPECT_FALSE(ParseProgramArguments({"--strict"}, device, error));
  EXPECT_EQ(error, "unknown option --strict");
  EXPECT_FALSE(ParseProgramArguments({"--sim=1"}, device, error));
  EXPECT_EQ(error, "option --sim takes no value");
}

}  // namespace
}  // namespace kvt::wiring
