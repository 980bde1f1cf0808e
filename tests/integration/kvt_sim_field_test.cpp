// kvt-sim's field options seen from the host: type A activation through the real termios
// path against the cards chosen on kvt-sim's command line.
#include <gtest/gtest.h>
#include <signal.h>

#include <array>

#include "chip/iso14443a.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "platform/posix_serial_port.h"
#include "program_process.h"

namespace kvt {
namespace {

namespace status = chip::status;
namespace reg = chip::reg;

struct CardStack {
  explicit CardStack(platform::SerialPort* port) {
    bus.setPort(port);
    control.Init(&bus);
    iso.Init(&control, 1);
  }
  chip::Status set(uint8_t address, uint8_t value) {
    chip::RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }
  // The timer of a card step: prescaler 0x2A5 (about 100 us), reload 3, automatic start.
  void setTimer() {
    ASSERT_EQ(set(reg::TimerMode, 0x82), status::Success);
    ASSERT_EQ(set(reg::TimerPrescalerLow, 0xA5), status::Success);
    ASSERT_EQ(set(reg::TimerReloadHigh, 0x00), status::Success);
    ASSERT_EQ(set(reg::TimerReloadLow, 0x03), status::Success);
  }
  chip::Status request() {
    chip::RequestParams p{0x26, atqa.data(), nullptr};
    return iso.RequestA(&p);
  }

  chip::SerialBus bus;
  chip::RegisterControl control;
  chip::Iso14443A iso;
  std::array<uint8_t, 2> atqa{};
};

std::unique_ptr<platform::SerialPort> open(test::ProgramProcess& sim) {
  int error = -1;
  const std::string device = sim.readLine();
  auto port = platform::openSerialDevice(device, &error);
  EXPECT_NE(port, nullptr) << device << ": errno " << error;
  return port;
}

TEST(KvtSimField, ChosenSevenByteCardIsActivated) {
  auto sim = test::startKvtSim({"--sim-card", "045162738495A6"});
  ASSERT_TRUE(sim.started());
  auto port = open(sim);
  ASSERT_NE(port, nullptr);
  CardStack stack(port.get());
  stack.setTimer();
  ASSERT_EQ(stack.request(), status::Success);
  EXPECT_EQ(stack.atqa, (std::array<uint8_t, 2>{0x44, 0x00}));
  uint8_t serial[12] = {};
  chip::AnticollisionParams p{0x93, serial, 0, 0, 0, nullptr};
  ASSERT_EQ(stack.iso.AnticollisionSelect(&p), status::Success);
  EXPECT_EQ(p.knownBits, 64);
  EXPECT_EQ(p.sak, 0x08);
  EXPECT_EQ(std::vector<uint8_t>(serial, serial + 8),
            (std::vector<uint8_t>{0x88, 0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6}));
  port.reset();
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(KvtSimField, EmptyFieldAndDefaultCard) {
  {
    auto sim = test::startKvtSim({"--sim-empty"});
    auto port = open(sim);
    ASSERT_NE(port, nullptr);
    CardStack stack(port.get());
    stack.setTimer();
    EXPECT_EQ(stack.request(), status::Timeout);
    port.reset();
    EXPECT_EQ(sim.stop(SIGTERM), 0);
  }
  auto sim = test::startKvtSim();
  auto port = open(sim);
  ASSERT_NE(port, nullptr);
  CardStack stack(port.get());
  stack.setTimer();
  EXPECT_EQ(stack.request(), status::Success);
  EXPECT_EQ(stack.atqa, (std::array<uint8_t, 2>{0x04, 0x00}));
  port.reset();
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(KvtSimField, MalformedUidStopsTheSimulator) {
  auto sim = test::startKvtSim({"--sim-card", "1234"});
  EXPECT_EQ(sim.readAll(), "");
  EXPECT_EQ(sim.stop(0), 2);
}

}  // namespace
}  // namespace kvt
