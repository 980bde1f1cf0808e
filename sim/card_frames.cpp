#include "sim/card_frames.h"

#include "chip/crc_a.h"

namespace kvt::sim {

AirFrame frameWithCrc(std::vector<uint8_t> payload) {
  const uint16_t crc = chip::crcA(payload.data(), payload.size());
  payload.push_back(static_cast<uint8_t>(crc & 0xFF));
  payload.push_back(static_cast<uint8_t>(crc >> 8));
  return AirFrame::fromBytes(std::move(payload));
}

std::optional<std::vector<uint8_t>> wholeBytes(const AirFrame& frame) {
  if (frame.bitCount % 8 != 0 || frame.bitCount / 8 > frame.bytes.size()) return std::nullopt;
  return std::vector<uint8_t>(frame.bytes.begin(), frame.bytes.begin() + frame.bitCount / 8);
}

std::optional<std::vector<uint8_t>> payloadIfCrcOk(const AirFrame& frame) {
  auto bytes = wholeBytes(frame);
  if (!bytes || bytes->size() < 3) return std::nullopt;
  const size_t length = bytes->size() - 2;
  const uint16_t crc = chip::crcA(bytes->data(), length);
  if ((*bytes)[length] != (crc & 0xFF) || (*bytes)[length + 1] != (crc >> 8)) return std::nullopt;
  bytes->resize(length);
  return bytes;
}

AirFrame nibbleFrame(uint8_t value) {
  AirFrame frame;
  frame.bytes = {static_cast<uint8_t>(value & 0x0F)};
  frame.bitCount = 4;
  return frame;
}

}  // namespace kvt::sim
