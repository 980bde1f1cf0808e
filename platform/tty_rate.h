#pragma once

#include <cstdint>
#include <optional>

// What differs between POSIX systems on an open tty: line rates by number, beyond the classic
// Bxxx table of termios.h, and the driver's low-latency mode. One file per system implements
// these (platform/posix/tty_*.cpp, chosen by the build).
namespace kvt::platform {

// Sets input and output rate of `fd` to `rate` bit/s, keeping every other setting.
// Linux: termios2 with BOTHER (ioctl TCSETS2), so 14400, 128000 and 256000 can be asked for;
// a UART driver then makes the nearest rate its clock allows and reports that rate back
// (see currentLineRate). macOS and the BSDs take the number directly. Elsewhere only the
// classic rates work and this returns false for the others.
bool setLineRate(int fd, uint32_t rate);

// The output rate now in force on `fd` in bit/s, as the driver reports it; nullopt when the
// call fails. On a Linux pty master this is the rate the user of the slave side has set.
std::optional<uint32_t> currentLineRate(int fd);

// Asks the driver to pass each received byte on at once (Linux: ASYNC_LOW_LATENCY) instead of
// holding it for up to 16 ms; a driver or system without the setting is left as it is.
void askLowLatency(int fd);

}  // namespace kvt::platform
