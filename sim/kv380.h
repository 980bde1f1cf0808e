#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace kvt::sim {

// What a simulated chip is built with.
struct ChipConfig {
  uint8_t version = 0x28;  // register 0x37
};

// The simulated KV380: 64 registers behind the serial host interface. Registers the host stack
// gives no role are plain storage (a written value reads back). Time is virtual: the host
// interface advances it by the duration of every byte on the line, so timers run exactly and
// tests never sleep.
class Kv380 {
 public:
  explicit Kv380(ChipConfig config = {});

  uint8_t readRegister(uint8_t address);
  void writeRegister(uint8_t address, uint8_t value);

  // Registers back to their reset values (power-on, or the soft reset command).
  void reset();
  // Lets virtual time pass: timers, transmissions and answers progress.
  void advanceTime(std::chrono::nanoseconds duration);
  std::chrono::nanoseconds now() const { return now_; }

  // Line rate the chip's UART runs at, from the serial speed register; 0 for a value the
  // chip has no rate for (the host cannot talk to it any more).
  uint32_t lineRate() const { return lineRate_; }
  // Applies a pending serial speed change; the host interface calls it once the echo of the
  // write to the speed register has gone out at the old rate.
  void commitLineRate();

  const ChipConfig& config() const { return config_; }
  // Direct look at the storage, without the side effects of a host read (tests, dumps).
  uint8_t peek(uint8_t address) const { return registers_[address & 0x3F]; }
  void poke(uint8_t address, uint8_t value) { registers_[address & 0x3F] = value; }

 private:
  ChipConfig config_;
  std::array<uint8_t, 64> registers_{};
  std::chrono::nanoseconds now_{0};
  uint32_t lineRate_ = 9600;
  uint32_t pendingLineRate_ = 9600;
};

// Rate of a serial speed register value; 0 when the value names no rate.
uint32_t lineRateForSpeedValue(uint8_t value);

}  // namespace kvt::sim
