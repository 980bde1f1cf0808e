#include "sim/rf_field.h"

#include <algorithm>
#include <map>

namespace kvt::sim {

AirFrame AirFrame::fromBytes(std::vector<uint8_t> bytes, uint8_t txMode) {
  AirFrame frame;
  frame.bitCount = bytes.size() * 8;
  frame.bytes = std::move(bytes);
  frame.txMode = txMode;
  return frame;
}

void AirFrame::appendBit(bool value) {
  if (bitCount % 8 == 0) bytes.push_back(0);
  if (value) bytes[bitCount / 8] |= static_cast<uint8_t>(1u << (bitCount % 8));
  ++bitCount;
}

namespace {
// Superposes answers sent at the same time: where they disagree the receiver sees a
// collision (and reads a 1, both subcarrier halves being modulated).
AirAnswer superpose(const std::vector<AirFrame>& answers, int slot) {
  AirAnswer result;
  result.timeSlot = slot;
  size_t longest = 0;
  for (const auto& a : answers) longest = std::max(longest, a.bitCount);
  for (size_t i = 0; i < longest; ++i) {
    bool any1 = false, any0 = false;
    for (const auto& a : answers) {
      if (i >= a.bitCount) continue;
      (a.bit(i) ? any1 : any0) = true;
    }
    if (any1 && any0 && !result.firstCollision) result.firstCollision = i;
    result.frame.appendBit(any1);
  }
  return result;
}
}  // namespace

std::vector<AirAnswer> RfField::exchange(const AirFrame& frame) {
  std::map<int, std::vector<AirFrame>> bySlot;
  for (const auto& target : targets_) {
    if (auto answer = target->receive(frame)) {
      bySlot[target->answerSlot()].push_back(std::move(*answer));
    }
  }
  std::vector<AirAnswer> result;
  for (const auto& [slot, answers] : bySlot) result.push_back(superpose(answers, slot));
  return result;
}

bool RfField::authenticate(const uint8_t* block12) {
  bool accepted = false;
  for (const auto& target : targets_) accepted = target->authenticate(block12) || accepted;
  return accepted;
}

void RfField::cryptoOff() {
  for (const auto& target : targets_) target->cryptoOff();
}

void RfField::fieldReset() {
  for (const auto& target : targets_) target->fieldReset();
}

}  // namespace kvt::sim
