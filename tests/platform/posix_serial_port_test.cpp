#include "platform/posix_serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "platform/tty_rate.h"

namespace kvt::platform {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

// A pseudo-terminal pair made for one test. The master is left as the kernel makes it, so
// the slave starts in cooked mode with echo on, as a fresh pty does.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slavePath_ = ptsname(master_);
  }
  ~Pty() { closeMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  int master() const { return master_; }
  void closeMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  void send(std::vector<uint8_t> bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Everything the slave side sends within `wait`.
  std::vector<uint8_t> receive(milliseconds wait) {
    std::vector<uint8_t> got;
    pollfd ready{master_, POLLIN, 0};
    while (poll(&ready, 1, static_cast<int>(wait.count())) > 0 && (ready.revents & POLLIN)) {
      uint8_t buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string slavePath_;
};

std::unique_ptr<SerialPort> openOrFail(const std::string& path) {
  int error = -1;
  auto port = openSerialDevice(path, &error);
  EXPECT_NE(port, nullptr) << "errno " << error;
  EXPECT_EQ(error, 0);
  return port;
}

TEST(PosixSerialPort, LineIsRawNoEchoNoTranslationNoFlowControl) {
  Pty pty;
  ASSERT_FALSE(pty.slavePath().empty());
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  // CR, LF, ^C, XOFF, XON, DEL and erase characters would all be eaten or changed by a
  // cooked line.
  const std::vector<uint8_t> special = {0x0D, 0x0A, 0x03, 0x13, 0x11, 0x7F, 0x08, 0x15, 0x04};
  pty.send(special);
  for (uint8_t expected : special) {
    uint8_t byte = 0;
    ASSERT_EQ(port->readByte(byte), IoResult::Ok);
    EXPECT_EQ(byte, expected);
  }
  EXPECT_TRUE(pty.receive(milliseconds(50)).empty()) << "the line echoed what it received";
  for (uint8_t byte : special) ASSERT_EQ(port->writeByte(byte), IoResult::Ok);
  EXPECT_EQ(pty.receive(milliseconds(100)), special);
}

TEST(PosixSerialPort, EveryByteValueCrossesBothWays) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  std::vector<uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  for (uint8_t byte : all) ASSERT_EQ(port->writeByte(byte), IoResult::Ok);
  EXPECT_EQ(pty.receive(milliseconds(100)), all);
  pty.send(all);
  for (uint8_t expected : all) {
    uint8_t byte = 0;
    ASSERT_EQ(port->readByte(byte), IoResult::Ok);
    ASSERT_EQ(byte, expected);
  }
  EXPECT_FALSE(port->lost());
}

TEST(PosixSerialPort, SilentLineTimesOutAfterAboutHalfASecond) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  const auto start = SteadyClock::now();
  uint8_t byte = 0;
  EXPECT_EQ(port->readByte(byte), IoResult::NothingMoved);
  const auto took = SteadyClock::now() - start;
  EXPECT_GE(took, milliseconds(450));
  EXPECT_LT(took, milliseconds(2000));
  EXPECT_FALSE(port->lost());
}

TEST(PosixSerialPort, AClosedFarEndFailsEveryTransferAtOnce) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  pty.closeMaster();
  uint8_t byte = 0;
  const auto start = SteadyClock::now();
  EXPECT_EQ(port->readByte(byte), IoResult::Failed);
  EXPECT_TRUE(port->lost());
  EXPECT_EQ(port->readByte(byte), IoResult::Failed);
  EXPECT_EQ(port->writeByte(0x01), IoResult::Failed);
  EXPECT_FALSE(port->setLineSettings(9600));
  EXPECT_LT(SteadyClock::now() - start, milliseconds(100));
}

TEST(PosixSerialPort, AWriteToAHungUpLineMarksItLost) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  pty.closeMaster();
  const auto start = SteadyClock::now();
  EXPECT_EQ(port->writeByte(0x80), IoResult::Failed);
  EXPECT_TRUE(port->lost());
  uint8_t byte = 0;
  EXPECT_EQ(port->readByte(byte), IoResult::Failed);
  EXPECT_LT(SteadyClock::now() - start, milliseconds(100));
}

TEST(PosixSerialPort, AWriteNobodyTakesReportsNothingMovedInsteadOfHanging) {
  Pty pty;  // nobody ever reads the master: its buffers fill up
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  IoResult result = IoResult::Ok;
  const auto start = SteadyClock::now();
  for (int i = 0; i < 1'000'000 && result == IoResult::Ok; ++i) result = port->writeByte(0x55);
  EXPECT_EQ(result, IoResult::NothingMoved);
  EXPECT_LT(SteadyClock::now() - start, milliseconds(5000));
  EXPECT_FALSE(port->lost());
}

TEST(PosixSerialPort, PtyHasNoRingIndicator) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->ringIndicator(), std::nullopt);
  EXPECT_FALSE(port->lost());
}

TEST(PosixSerialPort, EveryBenchRateIsSetExactly) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  // The pty master reports the settings its slave was given.
  EXPECT_EQ(currentLineRate(pty.master()), 9600u);
  for (uint32_t rate : {9600u, 14400u, 19200u, 38400u, 57600u, 115200u, 128000u, 256000u}) {
    EXPECT_TRUE(port->setLineSettings(rate)) << rate;
    EXPECT_EQ(currentLineRate(pty.master()), rate);
  }
  EXPECT_FALSE(port->setLineSettings(0));
  EXPECT_EQ(currentLineRate(pty.master()), 256000u);
}

TEST(PosixSerialPort, PurgeDropsWhatWasReceived) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  pty.send({0x01, 0x02, 0x03});
  usleep(20'000);  // let the pty hand the bytes over before they are dropped
  port->purge();
  pty.send({0x04});
  uint8_t byte = 0;
  ASSERT_EQ(port->readByte(byte), IoResult::Ok);
  EXPECT_EQ(byte, 0x04);
}

TEST(PosixSerialPort, ASecondOpenerIsRefusedUntilTheFirstCloses) {
  Pty pty;
  auto port = openOrFail(pty.slavePath());
  ASSERT_NE(port, nullptr);
  int error = 0;
  EXPECT_EQ(openSerialDevice(pty.slavePath(), &error), nullptr);
  EXPECT_EQ(error, EBUSY);
  EXPECT_EQ(verifySerialDevice(pty.slavePath()), EBUSY);
  port.reset();
  EXPECT_EQ(verifySerialDevice(pty.slavePath()), 0);
  // Verify released the device again.
  EXPECT_NE(openOrFail(pty.slavePath()), nullptr);
}

TEST(PosixSerialPort, WhatIsNoTerminalIsNotOpened) {
  int error = 0;
  EXPECT_EQ(openSerialDevice("/dev/null", &error), nullptr);
  EXPECT_EQ(error, ENOTTY);
  EXPECT_EQ(openSerialDevice("/nonexistent/ttyKVT0", &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(verifySerialDevice("/nonexistent/ttyKVT0"), ENOENT);
  EXPECT_EQ(openSerialDevice("/dev/null", nullptr), nullptr);  // no error slot: no crash
}

}  // namespace
}  // namespace kvt::platform
