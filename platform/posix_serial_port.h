#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/serial_port.h"

namespace kvt::platform {

// A serial device through POSIX termios: real UARTs, USB adapters and pseudo-terminals.
//
// The line runs raw (no echo, no line editing, no character translation), 8N1, without
// hardware or software flow control, with CLOCAL and CREAD set and DTR and RTS held off.
// Rates: the classic termios rates (9600, 19200, 38400, 57600, 115200 ...) are set as such.
// 14400, 128000 and 256000 have no termios constant; on Linux they are asked for by number
// (termios2 BOTHER), on macOS and the BSDs by number as well; elsewhere they are refused.
// A UART makes the nearest rate its clock allows: when the driver reports a rate more than
// 2 % away from the one asked for, the old rate is restored and setLineSettings fails.
// A pty takes every rate exactly.
//
// A read waits at most 500 ms for its byte (poll). A write waits at most as long for room in
// the driver's buffer, then reports that nothing moved. Once the device is gone (hang-up from
// poll, read() of 0 bytes, EIO/ENXIO/ENODEV), the port is lost and every transfer from then on
// fails at once.
//
// The chip answers only after the host's byte, so every write first drops what has arrived
// unasked (noise, a late answer). A chip may also answer after the read time-out: so that such
// an answer never answers the next access, the first write after a timed-out read also drops
// everything the line brings until it has been quiet for kSettleTime since the time-out (or
// since the last dropped byte); a line that never goes quiet is given up on after kSettleLimit.
class PosixSerialPort final : public SerialPort {
 public:
  static constexpr std::chrono::milliseconds kReadTimeout{500};
  static constexpr std::chrono::milliseconds kSettleTime{250};
  static constexpr std::chrono::milliseconds kSettleLimit{2000};

  // Takes ownership of `fd`, an open tty opened exclusively by openSerialDevice.
  explicit PosixSerialPort(int fd);
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  IoResult writeByte(uint8_t byte) override;
  IoResult writeBytes(const uint8_t* bytes, size_t count, size_t& moved) override;
  IoResult readByte(uint8_t& byte) override;
  bool setLineSettings(uint32_t rate) override;
  void purge() override;
  // nullopt on lines without modem inputs (ptys answer TIOCMGET with ENOTTY or EINVAL).
  std::optional<bool> ringIndicator() override;
  // Also looks for a hang-up without moving a byte, so a wait on RI notices a vanished device.
  bool lost() const override;

 private:
  IoResult markLost();
  bool applyRate(uint32_t rate);
  void settleAfterTimeout();

  int fd_;
  mutable std::atomic<bool> lost_{false};
  bool unsettled_ = false;  // a read timed out; the line has not been settled since
  std::chrono::steady_clock::time_point timedOutAt_{};
};

// Opens `path` for exclusive use (a second opener, in this process or another, is refused
// with EBUSY), puts the line in raw 8N1 at 9600 bit/s with DTR and RTS off and asks the driver
// for low latency (refusal is fine). Returns nullptr with the errno in *errorCode (when given)
// on failure; a path that is not a terminal fails with ENOTTY.
std::unique_ptr<SerialPort> openSerialDevice(const std::string& path, int* errorCode);

// Opens `path` as openSerialDevice would and closes it again at once, without changing the
// line: 0 when it could be opened, else the errno (EBUSY while someone holds it).
int verifySerialDevice(const std::string& path);

}  // namespace kvt::platform
