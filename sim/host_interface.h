#pragma once

#include <cstdint>
#include <vector>

#include "sim/kv380.h"

namespace kvt::sim {

// The chip's serial host interface: turns line bytes into register accesses.
// A byte with bit 7 set is a read and is answered with one register value; otherwise it is
// the address of a write, the next byte is the data, and the chip answers with the echo of
// the address byte. The test-chip variant carries the address in bits 6..1 and may send every
// byte bit-mirrored. Bytes sent at a rate other than the chip's own never form a valid frame
// at the chip's UART and are lost.
class HostInterface {
 public:
  explicit HostInterface(Kv380& chip) : chip_(chip) {}

  void setTestChipLayout(bool on) { testChipLayout_ = on; }
  void setBitReversed(bool on) { bitReversed_ = on; }
  bool testChipLayout() const { return testChipLayout_; }
  bool bitReversed() const { return bitReversed_; }

  // One byte from the host at `hostRate` bit/s; appends the chip's answer bytes (as they
  // appear on the line) to `answer`.
  void receive(uint8_t lineByte, uint32_t hostRate, std::vector<uint8_t>& answer);

  Kv380& chip() { return chip_; }
  // True when the next byte is a write's data, which the chip answers with the echo.
  bool awaitingData() const { return awaitingData_; }

 private:
  uint8_t registerOf(uint8_t addressByte) const;
  uint8_t toLine(uint8_t value) const;

  Kv380& chip_;
  bool testChipLayout_ = false;
  bool bitReversed_ = false;
  bool awaitingData_ = false;
  uint8_t writeAddressByte_ = 0;
};

}  // namespace kvt::sim
