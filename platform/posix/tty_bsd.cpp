#include <termios.h>

#include "platform/tty_rate.h"

// macOS and the BSDs: a speed_t is the rate in bit/s, so any number can be asked for.
namespace kvt::platform {

bool setLineRate(int fd, uint32_t rate) {
  struct termios settings {};
  if (rate == 0 || ::tcgetattr(fd, &settings) != 0) return false;
  const auto code = static_cast<speed_t>(rate);
  return ::cfsetispeed(&settings, code) == 0 && ::cfsetospeed(&settings, code) == 0 &&
         ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::optional<uint32_t> currentLineRate(int fd) {
  struct termios settings {};
  if (::tcgetattr(fd, &settings) != 0) return std::nullopt;
  return static_cast<uint32_t>(::cfgetospeed(&settings));
}

void askLowLatency(int) {}  // no such driver setting here

}  // namespace kvt::platform
