#include "platform/posix_serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/port_discovery.h"
#include "platform/tty_rate.h"

namespace kvt::platform {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

// A pseudo-terminal made for one test, its slave side opened as a serial port. The master is
// left as the kernel makes it, so the slave starts in cooked mode with echo on.
class PosixSerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    slavePath = ptsname(master);
    int error = -1;
    port = openSerialDevice(slavePath, &error);
    ASSERT_NE(port, nullptr) << "errno " << error;
    EXPECT_EQ(error, 0);
  }
  void TearDown() override { closeMaster(); }
  void closeMaster() {
    if (master >= 0) close(master);
    master = -1;
  }
  // Everything the slave side sends within `wait`.
  std::vector<uint8_t> receive(milliseconds wait) {
    std::vector<uint8_t> got;
    pollfd ready{master, POLLIN, 0};
    while (poll(&ready, 1, static_cast<int>(wait.count())) > 0 && (ready.revents & POLLIN)) {
      uint8_t buffer[256];
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

  int master = -1;
  std::string slavePath;
  std::unique_ptr<SerialPort> port;
};

TEST_F(PosixSerialPortTest, EveryByteValueCrossesBothWaysRawWithoutEcho) {
  // CR, LF, ^C, XOFF, XON, DEL and the erase characters among them would all be eaten or
  // changed by a cooked line.
  std::vector<uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  ASSERT_EQ(write(master, all.data(), all.size()), 256);
  for (uint8_t expected : all) {
    uint8_t byte = 0;
    ASSERT_EQ(port->readByte(byte), IoResult::Ok);
    ASSERT_EQ(byte, expected);
  }
  EXPECT_TRUE(receive(milliseconds(50)).empty()) << "the line echoed what it received";
  for (uint8_t byte : all) ASSERT_EQ(port->writeByte(byte), IoResult::Ok);
  EXPECT_EQ(receive(milliseconds(100)), all);
  EXPECT_EQ(port->ringIndicator(), std::nullopt);  // a pty has no RI line
  EXPECT_FALSE(port->lost());
}

TEST_F(PosixSerialPortTest, AHungUpLineFailsEveryTransferAtOnce) {
  for (bool writeFirst : {false, true}) {
    if (writeFirst) SetUp();  // a fresh line
    closeMaster();
    const auto start = SteadyClock::now();
    uint8_t byte = 0;
    EXPECT_EQ(writeFirst ? port->writeByte(0x80) : port->readByte(byte), IoResult::Failed);
    EXPECT_TRUE(port->lost());
    EXPECT_EQ(port->readByte(byte), IoResult::Failed);
    EXPECT_EQ(port->writeByte(0x01), IoResult::Failed);
    EXPECT_FALSE(port->setLineSettings(9600));
    EXPECT_LT(SteadyClock::now() - start, milliseconds(100)) << writeFirst;
  }
}

TEST_F(PosixSerialPortTest, AWriteNobodyTakesReportsNothingMovedInsteadOfHanging) {
  IoResult result = IoResult::Ok;  // nobody reads the master: its buffers fill up
  const auto start = SteadyClock::now();
  for (int i = 0; i < 1'000'000 && result == IoResult::Ok; ++i) result = port->writeByte(0x55);
  EXPECT_EQ(result, IoResult::NothingMoved);
  EXPECT_LT(SteadyClock::now() - start, milliseconds(5000));
  EXPECT_FALSE(port->lost());
}

TEST_F(PosixSerialPortTest, EveryBenchRateIsSetExactly) {
  // The pty master reports the settings its slave was given.
  EXPECT_EQ(currentLineRate(master), 9600u);
  for (uint32_t rate : {9600u, 14400u, 19200u, 38400u, 57600u, 115200u, 128000u, 256000u}) {
    EXPECT_TRUE(port->setLineSettings(rate)) << rate;
    EXPECT_EQ(currentLineRate(master), rate);
  }
  EXPECT_FALSE(port->setLineSettings(0));
  EXPECT_EQ(currentLineRate(master), 256000u);
}

TEST_F(PosixSerialPortTest, PurgeDropsWhatWasReceived) {
  ASSERT_EQ(write(master, "\x01\x02\x03", 3), 3);
  usleep(20'000);  // let the pty hand the bytes over before they are dropped
  port->purge();
  ASSERT_EQ(write(master, "\x04", 1), 1);
  uint8_t byte = 0;
  ASSERT_EQ(port->readByte(byte), IoResult::Ok);
  EXPECT_EQ(byte, 0x04);
}

TEST_F(PosixSerialPortTest, AnAnswerAfterTheTimeOutNeverAnswersTheNextAccess) {
  uint8_t byte = 0;
  const auto silent = SteadyClock::now();
  ASSERT_EQ(port->readByte(byte), IoResult::NothingMoved);  // GR 19 times out ...
  const auto waited = SteadyClock::now() - silent;  // a silent line waits 500 ms
  EXPECT_GE(waited, milliseconds(450));
  EXPECT_LT(waited, milliseconds(2000));
  ASSERT_EQ(write(master, "\x5A", 1), 1);  // ... and its answer comes late
  const auto start = SteadyClock::now();
  ASSERT_EQ(port->writeByte(0xB7), IoResult::Ok);  // GR 37
  EXPECT_GE(SteadyClock::now() - start, PosixSerialPort::kSettleTime - milliseconds(20));
  EXPECT_EQ(receive(milliseconds(50)), std::vector<uint8_t>{0xB7});
  ASSERT_EQ(write(master, "\x28", 1), 1);
  ASSERT_EQ(port->readByte(byte), IoResult::Ok);
  EXPECT_EQ(byte, 0x28);
  // The line is settled once: the next access goes out at once.
  const auto next = SteadyClock::now();
  ASSERT_EQ(port->writeByte(0xB7), IoResult::Ok);
  EXPECT_LT(SteadyClock::now() - next, milliseconds(100));
}

TEST_F(PosixSerialPortTest, ASecondOpenerIsRefusedUntilTheFirstCloses) {
  int error = 0;
  EXPECT_EQ(openSerialDevice(slavePath, &error), nullptr);
  EXPECT_EQ(error, EBUSY);
  EXPECT_EQ(verifySerialDevice(slavePath), EBUSY);
  port.reset();
  EXPECT_EQ(verifySerialDevice(slavePath), 0);
  EXPECT_NE(openSerialDevice(slavePath, &error), nullptr);  // verify released it again
}

// A device that cannot be opened, or is no terminal: tests/cli/cases/port_cannot_open.

// The ports depend on the machine; what holds everywhere is that each entry names a device
// that exists, once, in order, and that only USB entries carry USB details.
TEST(PortDiscovery, ListsExistingDevicesOnceInNameOrder) {
  const std::vector<DiscoveredPort> ports = listSerialPorts();
  EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(),
                             [](const auto& a, const auto& b) { return a.name < b.name; }));
  EXPECT_EQ(std::adjacent_find(ports.begin(), ports.end(),
                               [](const auto& a, const auto& b) { return a.name == b.name; }),
            ports.end());
  for (const DiscoveredPort& port : ports) {
    EXPECT_TRUE(std::filesystem::exists(port.name)) << port.name;
    if (port.transport != DiscoveredPort::Transport::Usb) {
      EXPECT_TRUE(port.usbManufacturer.empty() && port.usbProduct.empty() &&
                  port.usbSerial.empty() && !port.usbVendorId && !port.usbProductId)
          << port.name;
    }
  }
}

}  // namespace
}  // namespace kvt::platform
