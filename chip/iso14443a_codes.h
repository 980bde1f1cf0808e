#pragma once

#include <cstdint>

// ISO/IEC 14443-3 type A codes, as the reader stack sends them and the simulated cards
// answer them.
namespace kvt::chip::iso14443 {

constexpr uint8_t Reqa = 0x26;
constexpr uint8_t Wupa = 0x52;
constexpr uint8_t ShortFrameBits = 7;  // REQA and WUPA go out as 7-bit short frames
constexpr uint8_t SelectLevel1 = 0x93;
constexpr uint8_t SelectLevel2 = 0x95;
constexpr uint8_t SelectLevel3 = 0x97;
inline constexpr uint8_t SelectCodes[] = {SelectLevel1, SelectLevel2, SelectLevel3};
constexpr int CascadeLevels = 3;
// NVB: upper nibble the bytes sent (with code and NVB), lower nibble the extra bits.
constexpr uint8_t NvbBase = 0x20;       // code and NVB only: the card sends its whole serial
constexpr uint8_t NvbSelect = 0x70;     // all 40 bits: select the card
constexpr uint8_t CascadeTag = 0x88;    // first serial byte of a level that is not the last
constexpr uint8_t SakCascade = 0x04;    // the serial number continues at the next level
constexpr int LevelSerialBits = 32;     // serial number bits per cascade level
constexpr int LevelBitsWithCheck = 40;  // ... and the check byte
constexpr uint8_t AtqaBitAnticollision = 0x04;  // first ATQA byte: bit anticollision
constexpr int AtqaUidSizeShift = 6;             // first ATQA byte: bits 7..6 the UID size
inline constexpr uint8_t Halt[] = {0x50, 0x00};

}  // namespace kvt::chip::iso14443
