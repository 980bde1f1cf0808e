#include "test_targets.h"

#include "chip/crc_a.h"

namespace kvt::sim::test {

AirFrame frameWithCrcA(std::vector<uint8_t> bytes) {
  const uint16_t crc = chip::crcA(bytes.data(), bytes.size());
  bytes.push_back(static_cast<uint8_t>(crc & 0xFF));
  bytes.push_back(static_cast<uint8_t>(crc >> 8));
  return AirFrame::fromBytes(std::move(bytes));
}

AirFrame bitFrame(std::vector<uint8_t> bytes, size_t bitCount) {
  AirFrame frame = AirFrame::fromBytes(std::move(bytes));
  frame.bitCount = bitCount;
  return frame;
}

}  // namespace kvt::sim::test
