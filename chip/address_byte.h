#pragma once

#include <cstdint>

namespace kvt::chip {

enum class Access { Read, Write };

constexpr uint8_t kReadFlag = 0x80;      // bit 7 of an address byte: a read
constexpr uint8_t kAddressBits = 0x7F;   // the address bits of the normal layout
constexpr uint8_t kRegisterBits = 0x3F;  // the bits that address a register

// The first byte of every register transaction. Normal layout: bit 7 is the read flag and
// bits 6..0 the address. Test-chip layout: bit 7 the read flag, bits 6..1 the address, bit 0
// zero. The formulas apply to whatever address the caller gives (a write keeps 7 address bits
// before the shift, so 0x3F becomes 0x7E).
constexpr uint8_t addressByte(uint8_t address, Access access, bool testChipLayout) {
  if (access == Access::Read) {
    return testChipLayout ? static_cast<uint8_t>(kReadFlag | ((address & kRegisterBits) << 1))
                          : static_cast<uint8_t>(address | kReadFlag);
  }
  return testChipLayout ? static_cast<uint8_t>((address & kAddressBits) << 1)
                        : static_cast<uint8_t>(address & kAddressBits);
}

}  // namespace kvt::chip
