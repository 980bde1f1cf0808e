// The wiring every program shares: options, the port choice and the simulated chip.
#include "cli/wiring/wired_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/serial_ports.h"
#include "chip/address_byte.h"
#include "chip/command_engine.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "cli/card_steps.h"
#include "sim/simulated_port.h"
#include "support/fake_view.h"

namespace kvt::wiring {
namespace {

// The simulated chip behind a USB adapter without low latency: every answer byte costs 20 ms
// of `clock`. The chip never raises an interrupt request: its request registers read 0.
class LateSilentIrqPort final : public platform::SerialPort {
 public:
  LateSilentIrqPort(sim::Kv380& chip, platform::ManualClock& clock) : port_(chip), clock_(clock) {}
  platform::IoResult writeByte(uint8_t byte) override {
    if (addressNext_) lastAddress_ = byte;
    addressNext_ = (byte & chip::kReadFlag) != 0 || !addressNext_;
    return port_.writeByte(byte);
  }
  platform::IoResult readByte(uint8_t& byte) override {
    clock_.advance(std::chrono::milliseconds(20));
    const platform::IoResult result = port_.readByte(byte);
    const uint8_t address = lastAddress_ & chip::kAddressBits;
    const bool read = (lastAddress_ & chip::kReadFlag) != 0;
    if (read &&
        (address == chip::reg::InterruptRequest1 || address == chip::reg::InterruptRequest2)) {
      byte = 0;
    }
    return result;
  }
  bool setLineSettings(uint32_t rate) override { return port_.setLineSettings(rate); }
  void purge() override { port_.purge(); }
  std::optional<bool> ringIndicator() override { return port_.ringIndicator(); }
  bool lost() const override { return port_.lost(); }

 private:
  sim::SimulatedPort port_;
  platform::ManualClock& clock_;
  bool addressNext_ = true;  // a write transaction's value byte follows its address byte
  uint8_t lastAddress_ = 0;
};

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

}

TEST_F(WiredProgramTest, ACardRequestOnALateLineEndsByTheCommandWaitLimit) {
  platform::ManualClock clock;
  cmd::CommandEnvironment environment;
  environment.clock = &clock;
  WiredProgram program(startFile, {}, environment);
  program.portOpener().setSimulatedPorts(
      [&] { return std::make_unique<LateSilentIrqPort>(program.simulatedChip(), clock); });
  app::AppState& app = program.state();
  app.portIndex = 1;  // COM2=sim
  app::OpenPort(app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &app});
  ASSERT_NE(app.port, nullptr);

  kvt::test::FakeView window;
  cardreader::CardSession session;
  std::ostringstream diagnostics;
  const cli::CardStep request;
  const auto start = clock.now();
  const cli::CardRunResult result =
      cli::RunCardSteps(app, window, session, {&request, 1}, diagnostics);
  const auto took = clock.now() - start;
  EXPECT_EQ(result.failedSteps, 1);
  EXPECT_EQ(result.firstFailure, chip::status::Timeout);
  // The wait ran its whole limit, and the set-up and the request's other accesses add little.
  EXPECT_GE(took, chip::kCommandWaitLimit);
  EXPECT_LT(took, chip::kCommandWaitLimit + std::chrono::seconds(2)) << took.count();
}

}  // namespace
}  // namespace kvt::wiring
