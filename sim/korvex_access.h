#pragma once

#include <array>
#include <cstdint>

#include "sim/korvex_memory.h"

// The access conditions of one sector of a Korvex 1K card, read from its trailer as the card
// reads them before every memory access.
//
// Bytes 6..8 of the trailer hold three condition bits C1 C2 C3 for each of the four blocks of
// the sector, every bit twice, once inverted:
//   byte 6: bits 7..4 = inverted C2 of blocks 3..0, bits 3..0 = inverted C1
//   byte 7: bits 7..4 = C1,                         bits 3..0 = inverted C3
//   byte 8: bits 7..4 = C3,                         bits 3..0 = C2
// A copy that does not match its inverse blocks the whole sector. Byte 9 is free user data
// that belongs with the access bits.
namespace kvt::sim {

enum class KeyKind { A, B };

// Operations on a data block; Decrement also stands for transfer and restore.
enum class DataAccess { Read, Write, Increment, Decrement };

// The three parts of a trailer, each read and written under its own rule.
enum class TrailerPart { KeyA, AccessBits, KeyB };

class SectorAccess {
 public:
  explicit SectorAccess(const KorvexMemory::Block& trailer);

  // The inverted copies do not match: the card refuses every access to the sector.
  bool blocked() const { return blocked_; }
  // The trailer lets key A read key B, so key B is plain data and opens nothing.
  bool keyBReadable() const;
  // The 3-bit condition C1 C2 C3 of block `blockInSector` (0..3).
  int condition(int blockInSector) const { return conditions_[blockInSector]; }

  // Whether `key` may do `what` to data block `blockInSector` (0..2).
  bool allows(int blockInSector, DataAccess what, KeyKind key) const;
  bool mayRead(TrailerPart part, KeyKind key) const;
  bool mayWrite(TrailerPart part, KeyKind key) const;
  // Whether `key` may write at least one part of the trailer.
  bool mayWriteTrailer(KeyKind key) const;

 private:
  // The key is usable at all: the sector is not blocked and key B is not readable data.
  bool usable(KeyKind key) const;

  std::array<int, 4> conditions_{};
  bool blocked_ = false;
};

}  // namespace kvt::sim
