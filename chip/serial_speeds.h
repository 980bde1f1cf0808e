#pragma once

#include <cstdint>

namespace kvt::chip {

// The chip's serial speed table: the value of the serial speed register for each line rate,
// by the index the serial speed attribute takes.
struct SerialSpeedSetting {
  uint8_t value;
  uint32_t rate;  // bit/s
};
inline constexpr SerialSpeedSetting kSerialSpeeds[] = {
    {0xEB, 9600},   {0xCB, 14400},  {0xAB, 19200},  {0x9A, 38400},   {0x79, 115200},
    {0x5A, 230400}, {0x3A, 460800}, {0x1C, 921600}, {0x14, 1228800},
};
constexpr uint8_t kSerialSpeedCount = sizeof kSerialSpeeds / sizeof kSerialSpeeds[0];

// The rate the chip starts at, and the one the tool switches everything to.
constexpr uint8_t kSerialSpeed9600 = kSerialSpeeds[0].value;
constexpr uint8_t kSerialSpeed115200 = kSerialSpeeds[4].value;

// The line rate a serial speed register value selects; 0 for a value outside the table.
constexpr uint32_t LineRateForSpeedValue(uint8_t value) {
  for (const auto& entry : kSerialSpeeds) {
    if (entry.value == value) return entry.rate;
  }
  return 0;
}

}  // namespace kvt::chip
