#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "chip/crc_a.h"
#include "sim/card_frames.h"
#include "sim/rf_field.h"

// Frames a reader sends, built bit by bit for the card tests.
namespace kvt::sim::test {

inline AirFrame shortFrame(uint8_t code) {
  AirFrame f;
  f.bytes = {code};
  f.bitCount = 7;
  return f;
}
inline AirFrame reqa() { return shortFrame(0x26); }
inline AirFrame wupa() { return shortFrame(0x52); }

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

inline AirFrame selectFrame(uint8_t code, const std::array<uint8_t, 4>& serial) {
  return frameWithCrc(
      {code, 0x70, serial[0], serial[1], serial[2], serial[3], chip::bcc(serial.data())});
}

inline AirFrame haltFrame() { return frameWithCrc({0x50, 0x00}); }

// The bits of `frame` from `first` on, as whole bytes (the last one padded with zeros).
inline std::vector<uint8_t> bitsFrom(const AirFrame& frame, size_t first) {
  AirFrame out;
  for (size_t i = first; i < frame.bitCount; ++i) out.appendBit(frame.bit(i));
  return out.bytes;
}

inline uint8_t bitOf(const std::vector<uint8_t>& bytes, size_t index) {
  return (bytes[index / 8] >> (index % 8)) & 1;
}

}  // namespace kvt::sim::test
