// The chip access stack on the real termios path against kvt-sim: what kvt-cli cannot reach
// (the test chip's layout) and what only the process shows (it idles without a host). The
// cases of tests/cli/cases run kvt-cli against kvt-sim.
#include <gtest/gtest.h>

#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "platform/posix_serial_port.h"
#include "support/program.h"

namespace kvt {
namespace {

namespace status = chip::status;
constexpr uint8_t kSpareRegister = 0x3C;  // plain storage on the simulated chip

// kvt-sim with `options` and the access stack on its pty, wired as the application wires it.
struct SimulatorLine {
  explicit SimulatorLine(std::vector<std::string> options) {
    options.insert(options.begin(), KVT_SIM_PROGRAM);
    sim = std::make_unique<test::Program>(options, folder.path, folder / "io");
    device = sim->firstLine();
    connect();
  }
  void connect() {
    int error = -1;
    port = platform::openSerialDevice(device, &error);
    EXPECT_NE(port, nullptr) << device << ": errno " << error;
    bus.setPort(port.get());
    control.Init(&bus);
  }
  chip::Status set(uint8_t address, uint8_t value) {
    chip::RegisterParams params{address, value, nullptr};
    return control.SetRegister(&params);
  }
  uint8_t get(uint8_t address) {
    chip::RegisterParams params{address, 0, nullptr};
    EXPECT_EQ(control.GetRegister(&params), status::Success);
    return params.value;
  }


  test::TempFolder folder;
  std::unique_ptr<test::Program> sim;
  std::string device;
  std::unique_ptr<platform::SerialPort> port;
  chip::SerialBus bus;
  chip::RegisterControl control;
};

TEST(KvtSimPty, TestChipLayoutWithMirroredBytesAndAChosenVersion) {
  SimulatorLine line({"--test-chip", "--version-reg", "B1"});
  ASSERT_NE(line.port, nullptr);
  line.bus.setBitReversed(true);
  line.control.setTestChipAddressing(true);
  ASSERT_EQ(line.set(kSpareRegister, 0x12), status::Success);
  EXPECT_EQ(line.get(kSpareRegister), 0x12);
  ASSERT_EQ(line.set(kSpareRegister, 0x91), status::Success);
  EXPECT_EQ(line.get(kSpareRegister), 0x91);
  EXPECT_EQ(line.get(chip::reg::Version), 0xB1);
  line.port.reset();
  EXPECT_EQ(line.sim->finish(std::chrono::seconds(20), SIGINT), 0);
}

TEST(KvtSimPty, ChipKeepsItsStateWhileHostsComeAndGoWithoutSpinning) {
  SimulatorLine line({});
  ASSERT_NE(line.port, nullptr);
  ASSERT_EQ(line.set(kSpareRegister, 0x77), status::Success);
  // Leave half a write frame behind: the next host must not inherit it.
  ASSERT_EQ(line.port->writeByte(kSpareRegister), platform::IoResult::Ok);
  line.port.reset();
  // Nobody holds the pty now; the simulator must wait, not spin on the hang-up. (Idle CPU
  // time can only be seen over a stretch of time.)
  const long ticksBefore = line.sim->cpuTicks();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_GE(ticksBefore, 0);
  EXPECT_LT(line.sim->cpuTicks() - ticksBefore, 10) << "kvt-sim busy while no host was connected";
  line.connect();
  ASSERT_NE(line.port, nullptr);
  EXPECT_EQ(line.get(kSpareRegister), 0x77);
  line.port.reset();
  EXPECT_EQ(line.sim->finish(std::chrono::seconds(20), SIGTERM), 0);
}

}  // namespace
}  // namespace kvt
