#pragma once

#include <cstdint>

namespace kvt::chip {

// Mirrors a byte: bit i becomes bit 7-i (0x01 <-> 0x80, 0x12 <-> 0x48). The test chip sends
// and expects every byte in this order.
constexpr uint8_t reverseBits(uint8_t value) {
  uint8_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (value & (1u << i)) result |= static_cast<uint8_t>(0x80u >> i);
  }
  return result;
}

}  // namespace kvt::chip
