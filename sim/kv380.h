#pragma once

#include <chrono>
#include <cstdint>

#include "sim/chip_timer.h"
#include "sim/command_unit.h"
#include "sim/fifo.h"
#include "sim/register_file.h"
#include "sim/rf_field.h"

namespace kvt::sim {

// What a simulated chip is built with.
struct ChipConfig {
  uint8_t version = 0x28;  // what reg::Version reads
};

// The simulated KV380: 64 registers behind the serial host interface, the FIFO, the
// interrupt and error registers, the timer and the command unit, and the RF field in front
// of the antenna. Registers the host stack gives no role are plain storage (a written value
// reads back). Time is virtual: the host interface advances it by the duration of every byte
// on the line, so transmissions, answers and timers run exactly and tests never sleep.
class Kv380 {
 public:
  explicit Kv380(ChipConfig config = {});
  Kv380(const Kv380&) = delete;  // the command unit refers to the parts of this object
  Kv380& operator=(const Kv380&) = delete;

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

  // The chip's interrupt output (IRQ pin): on while a request bit of 0x04/0x05 is 1 whose
  // enable bit in 0x02/0x03 is 1. A board wires it to the RI input of the host's port.
  bool interruptOutput() const;

  const ChipConfig& config() const { return config_; }
  // What a host read would return, without its side effects (a FIFO read shows the oldest
  // byte without taking it); for tests and dumps.
  uint8_t peek(uint8_t address) const;
  // Sets the storage of a register directly, bypassing the chip's logic.
  void poke(uint8_t address, uint8_t value) { registers_.set(address, value); }

  // The cards in front of the antenna. Empty until someone puts cards there.
  RfField& field() { return field_; }
  const Fifo& fifo() const { return fifo_; }
  const CommandUnit& commandUnit() const { return unit_; }

 private:
  uint8_t readableValue(uint8_t address) const;
  bool rfLevelDetected() const;
  // The registers whose write does more than store the value; false for a plain register.
  bool writeSpecial(uint8_t address, uint8_t value);
  void writeInterruptBits(uint8_t address, uint8_t value);
  void writeStatus2(uint8_t value);
  void writeFifo(uint8_t value);
  void softReset();

  ChipConfig config_;
  RegisterFile registers_;
  Fifo fifo_;
  ChipTimer timer_;
  RfField field_;
  CommandUnit unit_;
  std::chrono::nanoseconds now_{0};
  uint32_t lineRate_ = 9600;
  uint32_t pendingLineRate_ = 9600;
};

}  // namespace kvt::sim
