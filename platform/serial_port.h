#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kvt::platform {

// Outcome of a single-byte transfer.
enum class IoResult {
  Ok,            // the byte moved
  NothingMoved,  // a read time-out (chip silent) or a write the driver did not take
  Failed,        // the port is gone (adapter unplugged, peer closed) or the I/O call failed
};

// One open serial port. Implementations: the POSIX termios port, sim::SimulatedPort and
// scripted fakes in tests. The interface carries no POSIX types so a Win32 port can follow.
// A port is used by one thread at a time (callers serialise chip operations).
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Sends one byte; returns once the driver has taken it.
  virtual IoResult writeByte(uint8_t byte) = 0;
  // Sends `count` bytes, in one driver call where the port can, so bytes that belong together
  // leave back to back. `moved` tells how many the driver took before a failure.
  virtual IoResult writeBytes(const uint8_t* bytes, size_t count, size_t& moved) {
    for (moved = 0; moved < count; ++moved) {
      if (const IoResult result = writeByte(bytes[moved]); result != IoResult::Ok) return result;
    }
    return IoResult::Ok;
  }
  // Waits at most the read time-out (500 ms) for one byte. NothingMoved on time-out.
  virtual IoResult readByte(uint8_t& byte) = 0;
  // 8N1, no flow control, DTR and RTS off, at `rate` bit/s. False when the rate is refused.
  virtual bool setLineSettings(uint32_t rate) = 0;
  // Drops whatever is buffered in both directions.
  virtual void purge() = 0;
  // Level of the ring indicator input; nullopt where the line has no modem inputs (a pty).
  virtual std::optional<bool> ringIndicator() = 0;
  // True once the port has vanished (USB adapter unplugged, the far end of a pty closed);
  // every transfer after that fails at once.
  virtual bool lost() const { return false; }
};

}  // namespace kvt::platform
