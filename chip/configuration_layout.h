#pragma once

#include <cstdint>

namespace kvt::chip {

// The chip's configuration buffer for target mode, read and written with the configure
// command.
constexpr uint16_t kConfigurationSize = 25;

// A run of bytes in the configuration buffer.
struct ConfigRun {
  uint8_t offset;
  uint8_t count;
};

// The bytes that hold identifiers (type A, 212/424 kbit/s and the last one): the random
// identifier command fills exactly these.
inline constexpr ConfigRun kIdentifierRuns[] = {{2, 3}, {8, 6}, {24, 1}};

}  // namespace kvt::chip
