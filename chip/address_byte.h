#pragma once

#include <cstdint>

namespace kvt::chip {

enum class Access { Read, Write };

// The first byte of every register transaction. Normal layout: bit 7 is the read flag and
// bits 6..0 the address. Test-chip layout: bit 7 the read flag, bits 6..1 the address, bit 0
// zero. The formulas apply to whatever address the caller gives (a write keeps 7 address bits
// before the shift, so 0x3F becomes 0x7E).
constexpr uint8_t addressByte(uint8_t address, Access access, bool testChipLayout) {
  if (access == Access::Read) {
    return testChipLayout ? static_cast<uint8_t>(0x80 | ((address & 0x3F) << 1))
                          : static_cast<uint8_t>(address | 0x80);
  }
  return testChipLayout ? static_cast<uint8_t>((address & 0x7F) << 1)
                        : static_cast<uint8_t>(address & 0x7F);
}

}  // namespace kvt::chip
