#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "sim/host_interface.h"
#include "sim/kv380.h"

namespace kvt::sim {

// An in-process serial line with the simulated chip at its far end. Nothing really sleeps:
// every byte advances the chip's virtual time by its duration on the line, and a read that
// finds nothing waiting lets the chip run for the 500 ms read time-out and returns at once.
// The RI input shows the chip's interrupt output. With a clock (the one the RI waits and
// sleeps use), the chip also runs by that clock while the line is quiet: each look at RI
// first lets the chip catch up with the time passed since the last byte or look, so a timer
// started before a wait fires during it.
class SimulatedPort final : public platform::SerialPort {
 public:
  // Neither `chip` nor `clock` (may be null: the chip runs by the line only) is owned; both
  // must outlive the port.
  explicit SimulatedPort(Kv380& chip, platform::Clock* clock = nullptr);

  platform::IoResult writeByte(uint8_t byte) override;
  // The bytes of one write arrive together: the clock is looked at once for all of them.
  platform::IoResult writeBytes(const uint8_t* bytes, size_t count, size_t& moved) override;
  platform::IoResult readByte(uint8_t& byte) override;
  bool setLineSettings(uint32_t rate) override;
  void purge() override;
  std::optional<bool> ringIndicator() override;
  bool lost() const override;

  // The far end vanishes: every transfer fails from now on.
  void disconnect();

  uint32_t hostRate() const { return hostRate_; }
  HostInterface& hostInterface() { return host_; }
  Kv380& chip() { return chip_; }

  // Every byte that crossed the line while tracing is on, host to chip and chip to host, for
  // byte-exact tests. Off by default, so a long run keeps no record of its traffic.
  struct TraceEntry {
    bool fromHost;
    uint8_t byte;
  };
  void setTracing(bool on);
  std::vector<TraceEntry> takeTrace();

  static constexpr std::chrono::milliseconds kReadTimeout{500};

 private:
  std::chrono::nanoseconds byteTime() const;
  // Lets the chip run for the clock time since the last mark; `runChip` false only moves the
  // mark (a byte on the line has just advanced the chip by its own duration).
  void followClock(bool runChip);
  // One byte from the host, with the lock held and the clock followed.
  void receiveLocked(uint8_t byte);

  mutable std::mutex mutex_;
  Kv380& chip_;
  HostInterface host_;
  uint32_t hostRate_ = 9600;
  std::deque<uint8_t> toHost_;
  platform::Clock* clock_;
  std::chrono::microseconds clockMark_{0};
  bool lost_ = false;
  bool tracing_ = false;
  std::vector<TraceEntry> trace_;
  std::vector<uint8_t> answer_;  // kept between bytes so a long run does not allocate
};

}  // namespace kvt::sim
