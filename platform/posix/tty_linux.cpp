#include "platform/tty_rate.h"

// termios2 lives in the kernel's headers, which clash with <termios.h>: this file uses only
// these.
#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace kvt::platform {

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

void askLowLatency(int fd) {
  serial_struct serial{};
  if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);  // drivers that refuse are fine
  }
}

}  // namespace kvt::platform
