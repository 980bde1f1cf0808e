#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/rf_field.h"

// The chip's RF front end, as pure functions: how FIFO bytes become a frame on the air, how
// long frames take, and how an answer becomes FIFO bytes, valid bits and error bits.
namespace kvt::sim {

using Nanos = std::chrono::nanoseconds;

// Air rate of a transmit or receive mode register: bits 6..4 select 106, 212, 424 or
// 848 kbit/s (higher codes run at 848).
uint32_t airRateKbps(uint8_t modeRegister);
// Time `bitCount` bits take on the air: start of frame, the bits with one parity bit per
// byte, end of frame.
Nanos airTime(size_t bitCount, uint8_t modeRegister);

// A type A card starts its answer about 86 us (1172 carrier periods) after the reader's
// frame; answers in later time slots (passive polling) come one slot length later each.
constexpr Nanos kAnswerDelay{86'000};
constexpr Nanos kTimeSlot{1'208'000};

// The frame the chip sends: the FIFO bytes, the last one cut to `txLastBits` bits (0: all
// 8), followed by the CRC_A of the bytes when the transmit mode has its CRC bit.
AirFrame buildFrame(const std::vector<uint8_t>& bytes, uint8_t txMode, uint8_t txLastBits);

// An answer as it lands in the FIFO.
struct ReceivedFrame {
  std::vector<uint8_t> bytes;          // the first byte's bits start at the rx-align position
  uint8_t lastBits = 0;                // valid bits of the last byte, 0 = all 8
  uint8_t errors = 0;                  // error register bits
  std::optional<size_t> collisionBit;  // FIFO bit position of the first collision
};

// Decodes what the receiver heard. With `keepAfterCollision` clear (anticollision) only
// the bits up to and including the first collided bit are kept, so the reader learns one
// new bit per collision. With the receive mode's CRC bit a whole-byte answer of two bytes
// or more loses its last two bytes (the CRC) and is flagged when they were wrong; any other
// answer (a 4-bit acknowledgement, a broken byte) is kept and flagged with a CRC error.
ReceivedFrame decodeAnswer(const AirAnswer& answer, uint8_t rxMode, uint8_t rxAlign,
                           bool keepAfterCollision);

}  // namespace kvt::sim
