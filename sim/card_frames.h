#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/rf_field.h"

// Frame helpers shared by the simulated cards: CRC_A appended and checked the way a type A
// card does it, and the 4-bit acknowledgement frames of memory cards.
namespace kvt::sim {

// `payload` followed by its CRC_A (low byte first), as a whole-byte frame.
AirFrame frameWithCrc(std::vector<uint8_t> payload);
// The payload of a whole-byte frame whose last two bytes are a correct CRC_A; nullopt for a
// frame that is too short, ends inside a byte or carries a wrong CRC.
std::optional<std::vector<uint8_t>> payloadIfCrcOk(const AirFrame& frame);
// A whole-byte frame without CRC, exactly as received.
std::optional<std::vector<uint8_t>> wholeBytes(const AirFrame& frame);
// A 4-bit frame carrying `nibble` (ACK 0xA, NAK 0x0..0x9 except 0xA), never with a CRC.
AirFrame nibbleFrame(uint8_t nibble);

namespace nibble {
constexpr uint8_t Ack = 0xA;
constexpr uint8_t NakInvalid = 0x4;   // operation not allowed, not authenticated, bad address
constexpr uint8_t NakTransfer = 0x5;  // frame damaged on the air (CRC), or malformed data phase
}  // namespace nibble

}  // namespace kvt::sim
