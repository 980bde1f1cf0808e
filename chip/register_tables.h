#pragma once

#include <cstdint>

namespace kvt::chip {

// One step of a register setting table: read `address`, write (old AND andMask) OR orValue.
struct RegisterSetting {
  uint8_t address;
  uint8_t andMask;
  uint8_t orValue;
};

// Address byte that ends every table.
constexpr uint8_t kTableEnd = 0xC3;

// The five tables of a register set, chosen by the chip's version: 0 and 1 for the first
// protocol attribute (bit rate 0 or higher), 2 for the type A set-up, 3 for the fourth
// protocol attribute, 4 for the second.
struct RegisterSet {
  const RegisterSetting* tables[5];
};

extern const RegisterSet kRegisterSetA;  // every other version
extern const RegisterSet kRegisterSetB;  // versions 0x26 and 0x27
extern const RegisterSet kRegisterSetC;  // version 0x28

// Values of the serial speed register by index (9600 bit/s at index 0, 115200 at index 4).
constexpr uint8_t kSerialSpeedValues[] = {0xEB, 0xCB, 0xAB, 0x9A, 0x79, 0x5A, 0x3A, 0x1C, 0x14};
constexpr uint8_t kSerialSpeedCount = sizeof kSerialSpeedValues;

}  // namespace kvt::chip
