#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/serial_port.h"
#include "sim/host_interface.h"
#include "sim/kv380.h"

namespace kvt::sim {

// An in-process serial line with the simulated chip at its far end. Nothing really sleeps:
// every byte advances the chip's virtual time by its duration on the line, and a read that
// finds nothing waiting lets the chip run for the 500 ms read time-out and returns at once.
class SimulatedPort final : public platform::SerialPort {
 public:
  explicit SimulatedPort(Kv380& chip);

  platform::IoResult writeByte(uint8_t byte) override;
  platform::IoResult readByte(uint8_t& byte) override;
  bool setLineSettings(uint32_t rate) override;
  void purge() override;
  std::optional<bool> ringIndicator() override;
  bool lost() const override;

  // The RI input: a fixed level, or a function asked at every look (e.g. of a test clock).
  void setRingIndicator(std::optional<bool> level);
  void setRingIndicatorSource(std::function<std::optional<bool>()> source);
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

  mutable std::mutex mutex_;
  Kv380& chip_;
  HostInterface host_;
  uint32_t hostRate_ = 9600;
  std::deque<uint8_t> toHost_;
  std::optional<bool> ring_;
  std::function<std::optional<bool>()> ringSource_;
  bool lost_ = false;
  bool tracing_ = false;
  std::vector<TraceEntry> trace_;
};

}  // namespace kvt::sim
