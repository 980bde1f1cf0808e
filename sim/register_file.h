#pragma once

#include <array>
#include <cstdint>

namespace kvt::sim {

// The chip's 64 register cells. Registers with side effects are handled by Kv380 around this
// plain storage; the command unit sets request, error and status bits here directly.
class RegisterFile {
 public:
  uint8_t get(uint8_t address) const { return cells_[address & 0x3F]; }
  void set(uint8_t address, uint8_t value) { cells_[address & 0x3F] = value; }
  void setBits(uint8_t address, uint8_t mask) { cells_[address & 0x3F] |= mask; }
  void clearBits(uint8_t address, uint8_t mask) {
    cells_[address & 0x3F] &= static_cast<uint8_t>(~mask);
  }
  void fill(uint8_t value) { cells_.fill(value); }

 private:
  std::array<uint8_t, 64> cells_{};
};

}  // namespace kvt::sim
