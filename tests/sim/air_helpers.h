#pragma once

#include <array>
#include <cstdint>
#include <sstream>
#include <string_view>
#include <vector>

#include "chip/crc_a.h"
#include "sim/rf_field.h"

// Bytes from hex text, and frames a reader sends, for the simulator's own tests.
namespace kvt::sim::test {

using Bytes = std::vector<uint8_t>;

// "30 04 26 EE" as bytes.
inline Bytes hex(std::string_view text) {
  std::istringstream in{std::string(text)};
  Bytes bytes;
  for (unsigned value; in >> std::hex >> value;) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

inline AirFrame reqa() {
  AirFrame f = AirFrame::fromBytes({0x26});
  f.bitCount = 7;
  return f;
}

// SEL code, NVB and the first `knownBits` bits of `serial` (no CRC).
inline AirFrame anticollisionFrame(uint8_t code, const std::array<uint8_t, 4>& serial,
                                   int knownBits) {
  AirFrame f;
  const uint8_t nvb = static_cast<uint8_t>(0x20 + 16 * (knownBits / 8) + knownBits % 8);
  for (uint8_t header : {code, nvb}) {
    for (int i = 0; i < 8; ++i) f.appendBit((header >> i) & 1);
  }
  for (int i = 0; i < knownBits; ++i) f.appendBit((serial[i / 8] >> (i % 8)) & 1);
  return f;
}

}  // namespace kvt::sim::test
