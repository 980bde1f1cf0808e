#pragma once

#include <cstdint>

// The characters a pattern line gives one tester pin.
namespace kvt::testlog {

// A driven bit: 0 or 1.
inline int DrivenBit(uint8_t value, int bit) { return (value >> bit) & 1; }

// A bit whose level the tester checks: "H" or "L" by the expected value where the mask bit is
// set, `unchecked` ("U" in .atf, "X" or "U" in .atp) where it is clear.
inline char CheckedBit(uint8_t expected, uint8_t mask, int bit, char unchecked) {
  if (((mask >> bit) & 1) == 0) return unchecked;
  return ((expected >> bit) & 1) != 0 ? 'H' : 'L';
}

}  // namespace kvt::testlog
