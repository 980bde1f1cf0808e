#pragma once

#include <array>
#include <cstdint>

namespace kvt::cardreader {

// What the card reader remembers from one step to the next while the dialog is open: the
// answers of the last request and anticollision, and the chosen block. Cleared at every
// opening, so an authentication uses the serial number of the last AnticollisionSelect of this
// opening (even of a failed one: the bytes received so far stay).
struct CardSession {
  uint8_t sak = 0;                   // SAK of the last AnticollisionSelect
  uint8_t block = 0;                 // index chosen in the block list
  std::array<uint8_t, 2> atqa{};     // answer to the last request
  std::array<uint8_t, 12> serial{};  // as the card sent it: 4 bytes per level, cascade tags kept

  void clear() { *this = CardSession{}; }
};

}  // namespace kvt::cardreader
