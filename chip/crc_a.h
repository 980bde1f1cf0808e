#pragma once

#include <cstddef>
#include <cstdint>

namespace kvt::chip {

// CRC_A of ISO/IEC 14443-3 (polynomial 0x8408 reflected, preset 0x6363). Sent low byte first.
constexpr uint16_t crcA(const uint8_t* data, size_t length) {
  uint16_t crc = 0x6363;
  for (size_t i = 0; i < length; ++i) {
    uint8_t b = static_cast<uint8_t>(data[i] ^ (crc & 0xFF));
    b = static_cast<uint8_t>(b ^ (b << 4));
    crc = static_cast<uint16_t>((crc >> 8) ^ (uint16_t(b) << 8) ^ (uint16_t(b) << 3) ^ (b >> 4));
  }
  return crc;
}

// Block check character of a 4-byte UID part: XOR of its bytes.
constexpr uint8_t bcc(const uint8_t* data) {
  return static_cast<uint8_t>(data[0] ^ data[1] ^ data[2] ^ data[3]);
}

}  // namespace kvt::chip
