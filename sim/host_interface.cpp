#include "sim/host_interface.h"

#include "chip/address_byte.h"
#include "chip/bit_order.h"

namespace kvt::sim {

uint8_t HostInterface::registerOf(uint8_t addressByte) const {
  return testChipLayout_ ? static_cast<uint8_t>((addressByte >> 1) & chip::kRegisterBits)
                         : static_cast<uint8_t>(addressByte & chip::kRegisterBits);
}

uint8_t HostInterface::toLine(uint8_t value) const {
  return bitReversed_ ? chip::reverseBits(value) : value;
}

void HostInterface::receive(uint8_t lineByte, uint32_t hostRate, std::vector<uint8_t>& answer) {
  if (hostRate != chip_.lineRate()) return;  // framing error at the chip's UART
  const uint8_t byte = toLine(lineByte);     // mirroring is its own inverse
  if (awaitingData_) {
    awaitingData_ = false;
    chip_.writeRegister(registerOf(writeAddressByte_), byte);
    answer.push_back(toLine(writeAddressByte_));
    // A new serial speed takes effect once the echo has left at the old rate.
    chip_.commitLineRate();
    return;
  }
  if (byte & chip::kReadFlag) {
    answer.push_back(toLine(chip_.readRegister(registerOf(byte))));
    return;
  }
  writeAddressByte_ = byte;
  awaitingData_ = true;
}

}  // namespace kvt::sim
