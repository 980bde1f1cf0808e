#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/rf_field.h"

namespace kvt::sim::test {

// A stand-in card for the simulator's own tests: records every frame it hears and answers
// each with a fixed frame (or stays silent), in a fixed time slot.
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
  std::vector<std::vector<uint8_t>> authentications;
  bool acceptAuthentication = false;
  int cryptoOffs = 0;
  int fieldResets = 0;

 private:
  std::optional<AirFrame> answer_;
  int slot_;
};

// Answers every frame with the frame itself (its CRC included).
class EchoTarget final : public RfTarget {
 public:
  std::optional<AirFrame> receive(const AirFrame& frame) override { return frame; }
};

// A whole-byte frame followed by its CRC_A.
AirFrame frameWithCrcA(std::vector<uint8_t> bytes);
// The first `bitCount` bits of `bytes`.
AirFrame bitFrame(std::vector<uint8_t> bytes, size_t bitCount);

}  // namespace kvt::sim::test
