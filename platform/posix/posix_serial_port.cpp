#include "platform/posix_serial_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

#include "platform/tty_rate.h"
#include "platform/wait_notice.h"

namespace kvt::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct ClassicRate {
  uint32_t rate;
  speed_t code;
};
constexpr ClassicRate kClassicRates[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

// errno values that mean the device itself is gone (USB adapter unplugged, far end of a pty
// closed), as opposed to a refused request.
bool deviceGone(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF;
}

// Milliseconds left until `deadline`, rounded up so a poll never returns a hair early.
int msUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void dropModemLines(int fd) {
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIC, &lines);  // ptys have no modem lines: ENOTTY/EINVAL are fine
}

// Opens the device for this process alone. Returns the descriptor, or -1 with errno set.
int openExclusive(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  int error = 0;
  if (!::isatty(fd)) {
    error = ENOTTY;
  } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // TIOCEXCL alone does not stop a privileged opener, the lock does.
    error = (errno == EWOULDBLOCK) ? EBUSY : errno;
  } else {
    ::ioctl(fd, TIOCEXCL);
  }
  if (error != 0) {
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

void closeExclusive(int fd) {
  // The exclusive flag outlives our descriptor on a pty whose master stays open; clear it so
  // the next opener is not refused.
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);  // also releases the lock
}

}  // namespace

PosixSerialPort::PosixSerialPort(int fd) : fd_(fd) {}

PosixSerialPort::~PosixSerialPort() { closeExclusive(fd_); }

bool PosixSerialPort::lost() const {
  if (lost_) return true;
  pollfd look{fd_, 0, 0};  // hang-ups and errors are reported whatever was asked for
  if (::poll(&look, 1, 0) == 1 && (look.revents & (POLLHUP | POLLERR | POLLNVAL))) lost_ = true;
  return lost_;
}

IoResult PosixSerialPort::markLost() {
  lost_ = true;
  return IoResult::Failed;
}

void PosixSerialPort::settleAfterTimeout() {
  unsettled_ = false;
  ::tcflush(fd_, TCIFLUSH);
  const auto limit = Clock::now() + kSettleLimit;
  auto quietUntil = timedOutAt_ + kSettleTime;
  for (;;) {
    const auto until = std::min(quietUntil, limit);
    if (Clock::now() >= until) return;
    pollfd waitFor{fd_, POLLIN, 0};
    const int ready = ::poll(&waitFor, 1, msUntil(until));
    if (ready == 0) return;
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waitFor.revents & POLLIN) {
      uint8_t dropped[64];
      const ssize_t n = ::read(fd_, dropped, sizeof dropped);
      if (n > 0) {
        quietUntil = Clock::now() + kSettleTime;
        continue;
      }
      if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
      if (n == 0 || deviceGone(errno)) markLost();
      return;
    }
    if (waitFor.revents & (POLLHUP | POLLERR | POLLNVAL)) markLost();
    return;
  }
}

IoResult PosixSerialPort::writeByte(uint8_t byte) {
  size_t moved = 0;
  return writeBytes(&byte, 1, moved);
}

IoResult PosixSerialPort::writeBytes(const uint8_t* bytes, size_t count, size_t& moved) {
  moved = 0;
  if (lost_) return IoResult::Failed;
  // The chip answers only after the host's byte: whatever waits to be read now came unasked
  // (noise, an answer after its time-out) and must not answer the access this write is part of.
  if (unsettled_) {
    settleAfterTimeout();
    if (lost_) return IoResult::Failed;
  } else {
    ::tcflush(fd_, TCIFLUSH);
  }
  const auto deadline = Clock::now() + kReadTimeout;
  while (moved < count) {
    const ssize_t n = ::write(fd_, bytes + moved, count - moved);
    if (n > 0) {
      moved += static_cast<size_t>(n);
      continue;
    }
    if (n == 0) return IoResult::NothingMoved;
    if (errno == EINTR) continue;
    if (deviceGone(errno)) return markLost();
    if (errno != EAGAIN && errno != EWOULDBLOCK) return IoResult::Failed;
    // The driver's buffer is full: wait for room, but not for ever.
    pollfd waitFor{fd_, POLLOUT, 0};
    const int ready = ::poll(&waitFor, 1, msUntil(deadline));
    if (ready < 0 && errno != EINTR) return IoResult::Failed;
    if (ready == 0) return IoResult::NothingMoved;
    if (ready > 0 && (waitFor.revents & (POLLHUP | POLLERR | POLLNVAL))) return markLost();
  }
  return IoResult::Ok;
}

IoResult PosixSerialPort::readByte(uint8_t& byte) {
  if (lost_) return IoResult::Failed;
  const auto deadline = Clock::now() + kReadTimeout;
  // An answer normally comes within a few byte times; one that keeps the line waiting longer
  // may be a time-out, and what the program holds back is let out first.
  bool noticed = false;
  for (;;) {
    pollfd waitFor{fd_, POLLIN, 0};
    int ready = ::poll(&waitFor, 1, noticed ? msUntil(deadline) : std::min(msUntil(deadline), 10));
    if (ready == 0 && !noticed) {
      noticed = true;
      NoticeWait();
      continue;
    }
    if (ready < 0) {
      if (errno == EINTR) continue;
      return IoResult::Failed;
    }
    if (ready == 0) {
      unsettled_ = true;
      timedOutAt_ = Clock::now();
      return IoResult::NothingMoved;
    }
    if (waitFor.revents & POLLIN) {
      // Bytes that arrived before a hang-up are still delivered.
      const ssize_t n = ::read(fd_, &byte, 1);
      if (n == 1) return IoResult::Ok;
      if (n == 0) return markLost();  // end of file: the device hung up
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return deviceGone(errno) ? markLost() : IoResult::Failed;
    }
    if (waitFor.revents & (POLLHUP | POLLERR | POLLNVAL)) return markLost();
  }
}

bool PosixSerialPort::applyRate(uint32_t rate) {
  for (const auto& entry : kClassicRates) {
    if (entry.rate != rate) continue;
    termios settings{};
    return ::tcgetattr(fd_, &settings) == 0 && ::cfsetispeed(&settings, entry.code) == 0 &&
           ::cfsetospeed(&settings, entry.code) == 0 && ::tcsetattr(fd_, TCSANOW, &settings) == 0;
  }
  return setLineRate(fd_, rate);
}

bool PosixSerialPort::setLineSettings(uint32_t rate) {
  if (lost_ || rate == 0) return false;
  termios settings{};
  if (::tcgetattr(fd_, &settings) != 0) {
    if (deviceGone(errno)) markLost();
    return false;
  }
  const std::optional<uint32_t> oldRate = currentLineRate(fd_);
  // Every flag is set anew rather than adjusted: cfmakeraw leaves IXOFF, INPCK and others as
  // they were.
  ::cfmakeraw(&settings);
  settings.c_iflag = 0;  // no XON/XOFF, no parity check, no byte replacement or stripping
  settings.c_oflag = 0;  // bytes go out untouched
  settings.c_lflag = 0;  // no echo: a cooked pty would fake the chip's write echo
  settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (::tcsetattr(fd_, TCSANOW, &settings) != 0) return false;

  bool ok = applyRate(rate);
  if (ok) {
    // A UART driver may make only a nearby rate; more than 2 % off garbles every byte.
    const std::optional<uint32_t> actual = currentLineRate(fd_);
    const uint64_t off = actual ? (*actual > rate ? *actual - rate : rate - *actual) : 0;
    ok = !actual || off * 50 <= rate;
  }
  if (!ok && oldRate) applyRate(*oldRate);
  // Drivers raise DTR and RTS when the rate changes from 0; keep them off after every change.
  dropModemLines(fd_);
  return ok;
}

void PosixSerialPort::purge() {
  if (!lost_) ::tcflush(fd_, TCIOFLUSH);
}

std::optional<bool> PosixSerialPort::ringIndicator() {
  if (lost_) return std::nullopt;
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) != 0) {
    if (deviceGone(errno)) markLost();
    return std::nullopt;  // ENOTTY/EINVAL: no modem inputs on this line
  }
  return (lines & TIOCM_RI) != 0;
}

std::unique_ptr<SerialPort> openSerialDevice(const std::string& path, int* errorCode) {
  const int fd = openExclusive(path);
  if (fd < 0) {
    if (errorCode) *errorCode = errno;
    return nullptr;
  }
  auto port = std::make_unique<PosixSerialPort>(fd);
  askLowLatency(fd);
  dropModemLines(fd);
  if (!port->setLineSettings(9600)) {
    const int error = errno != 0 ? errno : EINVAL;
    port.reset();
    if (errorCode) *errorCode = error;
    return nullptr;
  }
  if (errorCode) *errorCode = 0;
  return port;
}

int verifySerialDevice(const std::string& path) {
  const int fd = openExclusive(path);
  if (fd < 0) return errno;
  closeExclusive(fd);
  return 0;
}

}  // namespace kvt::platform
