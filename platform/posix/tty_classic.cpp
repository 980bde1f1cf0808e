#include <termios.h>

#include "platform/tty_rate.h"

// Other POSIX systems: only the classic Bxxx rates of termios.h.
namespace kvt::platform {

namespace {
struct RateCode {
  uint32_t rate;
  speed_t code;
};
constexpr RateCode kClassicRates[] = {{9600, B9600},   {19200, B19200},   {38400, B38400},
                                      {57600, B57600}, {115200, B115200}, {230400, B230400}};
}  // namespace

bool setLineRate(int fd, uint32_t rate) {
  struct termios settings {};
  if (rate == 0 || ::tcgetattr(fd, &settings) != 0) return false;
  speed_t code = 0;
  for (const auto& entry : kClassicRates) {
    if (entry.rate == rate) code = entry.code;
  }
  if (code == 0) return false;
  return ::cfsetispeed(&settings, code) == 0 && ::cfsetospeed(&settings, code) == 0 &&
         ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::optional<uint32_t> currentLineRate(int fd) {
  struct termios settings {};
  if (::tcgetattr(fd, &settings) != 0) return std::nullopt;
  const speed_t code = ::cfgetospeed(&settings);
  for (const auto& entry : kClassicRates) {
    if (entry.code == code) return entry.rate;
  }
  return std::nullopt;
}

void askLowLatency(int) {}  // no such driver setting here

}  // namespace kvt::platform
