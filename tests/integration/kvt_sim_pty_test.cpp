// The chip access stack on the real termios path: kvt-sim serves a pty, the host opens its
// slave side with openSerialDevice and talks through SerialBus and RegisterControl.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "chip/status.h"
#include "platform/posix_serial_port.h"
#include "program_process.h"

namespace kvt {
namespace {

using chip::Status;
using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;
namespace reg = chip::reg;
namespace status = chip::status;

// A register the stack gives no role: the simulated chip keeps it as plain storage.
constexpr uint8_t kSpareRegister = 0x3C;

// SerialBus and RegisterControl wired on one port, as the application wires them.
struct Stack {
  explicit Stack(platform::SerialPort* port) {
    bus.setPort(port);
    control.Init(&bus);
  }
  Status set(uint8_t address, uint8_t value) {
    chip::RegisterParams params{address, value, nullptr};
    return control.SetRegister(&params);
  }
  Status get(uint8_t address, uint8_t& value) {
    chip::RegisterParams params{address, 0, nullptr};
    const Status result = control.GetRegister(&params);
    value = params.value;
    return result;
  }
  Status modify(uint8_t address, uint8_t mask, bool setBits) {
    chip::ModifyRegisterParams params{address, mask, static_cast<uint8_t>(setBits), nullptr};
    return control.ModifyRegister(&params);
  }
  void testChip(bool on) {
    bus.setBitReversed(on);
    control.setTestChipAddressing(on);
  }

  chip::SerialBus bus;
  chip::RegisterControl control;
};

std::unique_ptr<platform::SerialPort> openDevice(const std::string& path) {
  int error = -1;
  auto port = platform::openSerialDevice(path, &error);
  EXPECT_NE(port, nullptr) << path << ": errno " << error;
  return port;
}

// Writes, reads and modifies registers; every value must come back as written.
void roundTrips(Stack& stack, uint8_t seed, uint8_t version) {
  uint8_t value = 0;
  ASSERT_EQ(stack.set(kSpareRegister, seed), status::Success);
  ASSERT_EQ(stack.get(kSpareRegister, value), status::Success);
  EXPECT_EQ(value, seed);
  ASSERT_EQ(stack.modify(kSpareRegister, 0x81, true), status::Success);
  ASSERT_EQ(stack.get(kSpareRegister, value), status::Success);
  EXPECT_EQ(value, seed | 0x81);
  ASSERT_EQ(stack.modify(kSpareRegister, 0x0A, false), status::Success);
  ASSERT_EQ(stack.get(kSpareRegister, value), status::Success);
  EXPECT_EQ(value, (seed | 0x81) & ~0x0A);
  ASSERT_EQ(stack.get(reg::Version, value), status::Success);
  EXPECT_EQ(value, version);
}

TEST(KvtSimPty, RegisterRoundTripsAt9600ThenAt115200) {
  auto sim = test::startKvtSim();
  ASSERT_TRUE(sim.started());
  const std::string device = sim.readLine();
  ASSERT_FALSE(device.empty());
  auto port = openDevice(device);
  ASSERT_NE(port, nullptr);
  Stack stack(port.get());

  roundTrips(stack, 0x5A, 0x28);
  // The chip answers the speed change at the old rate, then both sides run at 115200.
  ASSERT_EQ(stack.set(reg::SerialSpeed, chip::kSerialSpeed115200), status::Success);
  ASSERT_TRUE(port->setLineSettings(115200));
  roundTrips(stack, 0x24, 0x28);
  uint8_t value = 0;
  ASSERT_EQ(stack.get(reg::SerialSpeed, value), status::Success);
  EXPECT_EQ(value, chip::kSerialSpeed115200);

  // A host back at 9600 is no longer understood by the chip at 115200: the read times out.
  ASSERT_TRUE(port->setLineSettings(9600));
  EXPECT_EQ(stack.get(reg::Version, value), status::SerialInterface);
  EXPECT_FALSE(port->lost());

  port.reset();
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(KvtSimPty, TestChipLayoutWithMirroredBytesAndAChosenVersion) {
  auto sim = test::startKvtSim({"--test-chip", "--version-reg", "B1"});
  ASSERT_TRUE(sim.started());
  auto port = openDevice(sim.readLine());
  ASSERT_NE(port, nullptr);
  Stack stack(port.get());
  stack.testChip(true);
  roundTrips(stack, 0x12, 0xB1);
  port.reset();
  EXPECT_EQ(sim.stop(SIGINT), 0);
}

TEST(KvtSimPty, StoppedSimulatorIsALostPortReportedAtOnce) {
  auto sim = test::startKvtSim();
  ASSERT_TRUE(sim.started());
  auto port = openDevice(sim.readLine());
  ASSERT_NE(port, nullptr);
  Stack stack(port.get());
  uint8_t value = 0;
  ASSERT_EQ(stack.get(reg::Version, value), status::Success);

  ASSERT_EQ(sim.stop(SIGTERM), 0);
  const auto start = SteadyClock::now();
  EXPECT_EQ(stack.get(reg::Version, value), status::WaitFailed);
  EXPECT_TRUE(port->lost());
  EXPECT_EQ(stack.set(kSpareRegister, 0x01), status::WaitFailed);
  EXPECT_EQ(stack.modify(kSpareRegister, 0x01, true), status::WaitFailed);
  EXPECT_LT(SteadyClock::now() - start, milliseconds(100));
}

TEST(KvtSimPty, SilentPtyAnswers0104AfterAboutHalfASecondPerRead) {
  // A pty nobody serves: the host's bytes go out, nothing comes back.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  auto port = openDevice(ptsname(master));
  ASSERT_NE(port, nullptr);
  Stack stack(port.get());
  uint8_t value = 0;
  for (int read = 0; read < 2; ++read) {
    const auto start = SteadyClock::now();
    EXPECT_EQ(stack.get(reg::Version, value), status::SerialInterface);
    const auto took = SteadyClock::now() - start;
    EXPECT_GE(took, milliseconds(450));
    EXPECT_LT(took, milliseconds(2000));
  }
  // A write waits for its echo just as long.
  const auto start = SteadyClock::now();
  EXPECT_EQ(stack.set(kSpareRegister, 0x01), status::SerialInterface);
  EXPECT_GE(SteadyClock::now() - start, milliseconds(450));
  EXPECT_FALSE(port->lost());
  port.reset();
  close(master);
}

TEST(KvtSimPty, ChipKeepsItsStateWhileHostsComeAndGoWithoutSpinning) {
  auto sim = test::startKvtSim();
  ASSERT_TRUE(sim.started());
  const std::string device = sim.readLine();
  uint8_t value = 0;
  {
    auto port = openDevice(device);
    ASSERT_NE(port, nullptr);
    Stack stack(port.get());
    ASSERT_EQ(stack.set(kSpareRegister, 0x77), status::Success);
    // Leave half a write frame behind: the next host must not inherit it.
    ASSERT_EQ(port->writeByte(kSpareRegister), platform::IoResult::Ok);
  }
  // Nobody holds the pty now; the simulator must wait, not spin on the hang-up.
  const long ticksBefore = sim.cpuTicks();
  std::this_thread::sleep_for(milliseconds(300));
  const long ticksAfter = sim.cpuTicks();
  ASSERT_GE(ticksBefore, 0);
  EXPECT_LT(ticksAfter - ticksBefore, 10) << "kvt-sim busy while no host was connected";

  auto port = openDevice(device);
  ASSERT_NE(port, nullptr);
  Stack stack(port.get());
  ASSERT_EQ(stack.get(kSpareRegister, value), status::Success);
  EXPECT_EQ(value, 0x77);
  port.reset();
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(KvtSimPty, LinkPointsAtThePtyAndGoesAwayAtExit) {
  std::string dir = (std::filesystem::temp_directory_path() / "kvt-sim-link-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string link = dir + "/kv380";
  {
    auto sim = test::startKvtSim({"--link", link});
    ASSERT_TRUE(sim.started());
    const std::string device = sim.readLine();
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), device);
    auto port = openDevice(link);
    ASSERT_NE(port, nullptr);
    Stack stack(port.get());
    uint8_t value = 0;
    EXPECT_EQ(stack.get(reg::Version, value), status::Success);
    EXPECT_EQ(value, 0x28);
    port.reset();
    EXPECT_EQ(sim.stop(SIGINT), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  std::filesystem::remove_all(dir);
}

TEST(KvtSimPty, LinkReplacesOnlyALinkToAVanishedPty) {
  namespace fs = std::filesystem;
  std::string dir = (fs::temp_directory_path() / "kvt-sim-link-XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::string link = dir + "/kv380";
  // Left behind by a kvt-sim that was killed: its pty is gone, the link is taken over.
  fs::create_symlink("/dev/pts/987654", link);
  auto first = test::startKvtSim({"--link", link});
  const std::string device = first.readLine();
  ASSERT_FALSE(device.empty());
  EXPECT_EQ(fs::read_symlink(link).string(), device);
  // A second kvt-sim never takes over the first one's link.
  auto second = test::startKvtSim({"--link", link});
  EXPECT_EQ(second.readLine(), "");
  EXPECT_EQ(second.stop(0), 1);
  EXPECT_EQ(fs::read_symlink(link).string(), device);
  EXPECT_EQ(first.stop(SIGTERM), 0);
  // A user's file or link is never replaced, nor removed at exit.
  { std::ofstream(dir + "/notes.txt") << "keep"; }
  fs::create_symlink("notes.txt", dir + "/mylink");
  for (const std::string& kept : {dir + "/notes.txt", dir + "/mylink"}) {
    auto sim = test::startKvtSim({"--link", kept});
    EXPECT_EQ(sim.readLine(), "") << kept;
    EXPECT_EQ(sim.stop(0), 1) << kept;
  }
  EXPECT_EQ(fs::read_symlink(dir + "/mylink"), "notes.txt");
  std::string kept;
  std::getline(std::ifstream(dir + "/mylink"), kept);
  EXPECT_EQ(kept, "keep");
  fs::remove_all(dir);
}

TEST(KvtSimPty, HelpAndBadOptions) {
  auto help = test::startKvtSim({"--help"});
  const std::string text = help.readAll();
  EXPECT_NE(text.find("--link PATH"), std::string::npos);
  EXPECT_NE(text.find("--version-reg HEX"), std::string::npos);
  EXPECT_NE(text.find("--test-chip"), std::string::npos);
  EXPECT_EQ(help.stop(0), 0);
  auto bad = test::startKvtSim({"--no-such-option"});
  EXPECT_EQ(bad.readAll(), "");
  EXPECT_EQ(bad.stop(0), 2);
}

}  // namespace
}  // namespace kvt
