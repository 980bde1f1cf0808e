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

// What the chip's version (reg::Version) decides: its register set and the lower bound of
// its RF self-test window.
enum class RegisterSetKind { A, B, C };
constexpr RegisterSetKind RegisterSetForVersion(uint8_t version) {
  if (version == 0x28) return RegisterSetKind::C;
  if (version == 0x26 || version == 0x27) return RegisterSetKind::B;
  return RegisterSetKind::A;
}
constexpr uint8_t SelfTestLowForVersion(uint8_t version) {
  return RegisterSetForVersion(version) == RegisterSetKind::B ? 6 : 7;
}
constexpr uint8_t kSelfTestHigh = 10;
constexpr uint8_t kSelfTestDrive = 1;  // written to reg::CwGsP during the self-test

}  // namespace kvt::chip
