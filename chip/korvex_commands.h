#pragma once

#include <cstdint>

// The Korvex card command set: the reader stack frames these codes and the simulated card
// answers them, so both take them from here.
namespace kvt::chip {

// Korvex card command codes.
namespace korvex {
constexpr uint8_t Read = 0x30;
constexpr uint8_t AuthenticateKeyA = 0x60;
constexpr uint8_t AuthenticateKeyB = 0x61;
constexpr uint8_t Write = 0xA0;
constexpr uint8_t WritePage = 0xA2;
constexpr uint8_t Transfer = 0xB0;
constexpr uint8_t Decrement = 0xC0;
constexpr uint8_t Increment = 0xC1;
constexpr uint8_t Restore = 0xC2;
constexpr uint8_t kMaxData = 16;
}  // namespace korvex

}  // namespace kvt::chip
