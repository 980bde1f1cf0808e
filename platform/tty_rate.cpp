#include "platform/tty_rate.h"

#if defined(__linux__)
// termios2 lives in the kernel's headers, which clash with <termios.h>: this file uses only
// these.
#include <asm/termbits.h>
#include <sys/ioctl.h>
#else
#include <termios.h>
#endif

namespace kvt::platform {

#if defined(__linux__)

bool setLineRate(int fd, uint32_t rate) {
  if (rate == 0) return false;
  struct termios2 settings {};
  if (::ioctl(fd, TCGETS2, &settings) != 0) return false;
  settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  settings.c_ospeed = rate;
  settings.c_ispeed = rate;
  return ::ioctl(fd, TCSETS2, &settings) == 0;
}

std::optional<uint32_t> currentLineRate(int fd) {
  struct termios2 settings {};
  if (::ioctl(fd, TCGETS2, &settings) != 0) return std::nullopt;
  return settings.c_ospeed;
}

#else

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
#if defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  const speed_t code = static_cast<speed_t>(rate);  // speeds are plain numbers here
#else
  speed_t code = 0;
  for (const auto& entry : kClassicRates) {
    if (entry.rate == rate) code = entry.code;
  }
  if (code == 0) return false;
#endif
  return ::cfsetispeed(&settings, code) == 0 && ::cfsetospeed(&settings, code) == 0 &&
         ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::optional<uint32_t> currentLineRate(int fd) {
  struct termios settings {};
  if (::tcgetattr(fd, &settings) != 0) return std::nullopt;
  const speed_t code = ::cfgetospeed(&settings);
#if defined(__APPLE__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  return static_cast<uint32_t>(code);
#else
  for (const auto& entry : kClassicRates) {
    if (entry.code == code) return entry.rate;
  }
  return std::nullopt;
#endif
}

#endif

}  // namespace kvt::platform
