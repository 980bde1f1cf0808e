#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "chip/crc_a.h"
#include "sim/card_frames.h"
#include "sim/rf_field.h"

// Frames a reader sends, built bit by bit, and a stand-in card for the simulator's own tests.
namespace kvt::sim::test {

using Bytes = std::vector<uint8_t>;

// "30 04 26 EE" as bytes.
inline Bytes hex(std::string_view text) {
  std::istringstream in{std::string(text)};
  Bytes bytes;
  for (unsigned value; in >> std::hex >> value;) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

// The first `bitCount` bits of `bytes`.
inline AirFrame bitFrame(Bytes bytes, size_t bitCount) {
  AirFrame f = AirFrame::fromBytes(std::move(bytes));
  f.bitCount = bitCount;
  return f;
}
inline AirFrame reqa() { return bitFrame({0x26}, 7); }
inline AirFrame wupa() { return bitFrame({0x52}, 7); }

// SEL code, NVB and the first `knownBits` bits of `serial` (no CRC).
inline AirFrame anticollisionFrame(uint8_t code, const std::array<uint8_t, 4>& serial,
                                   int knownBits) {
  AirFrame f;
  const uint8_t nvb = static_cast<uint8_t>(0x20 + 16 * (knownBits / 8) + knownBits % 8);
  for (uint8_t header : {code, nvb}) {
    for (int i = 0; i < 8; ++i) f.appendBit((header >> i) & 1);
  }
  for (int i = 0; i < knownBits; ++i) f.appendBit((serial[i / 8] >> (i % 8)) & 1);
  return f;
}

inline AirFrame selectFrame(uint8_t code, const std::array<uint8_t, 4>& serial) {
  return frameWithCrc(
      {code, 0x70, serial[0], serial[1], serial[2], serial[3], chip::bcc(serial.data())});
}

inline AirFrame haltFrame() { return frameWithCrc({0x50, 0x00}); }

// Records every frame it hears and answers each with a fixed frame (or stays silent), in a
// fixed time slot.
class FixedAnswerTarget final : public RfTarget {
 public:
  explicit FixedAnswerTarget(std::optional<AirFrame> answer = std::nullopt, int slot = 0)
      : answer_(std::move(answer)), slot_(slot) {}

  std::optional<AirFrame> receive(const AirFrame& frame) override {
    heard.push_back(frame);
    return answer_;
  }
  int answerSlot() const override { return slot_; }
  bool authenticate(const uint8_t* block12) override {
    authentications.emplace_back(block12, block12 + 12);
    return acceptAuthentication;
  }
  void cryptoOff() override { ++cryptoOffs; }
  void fieldReset() override { ++fieldResets; }

  std::vector<AirFrame> heard;
  std::vector<Bytes> authentications;
  bool acceptAuthentication = false;
  int cryptoOffs = 0;
  int fieldResets = 0;

 private:
  std::optional<AirFrame> answer_;
  int slot_;
};

}  // namespace kvt::sim::test
