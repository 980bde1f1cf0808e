#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kvt::sim {

// Bits on the air. Within each byte the least significant bit goes first, as ISO/IEC 14443
// sends it. `bitCount` may end inside the last byte (a 7-bit REQA, an anticollision frame).
struct AirFrame {
  std::vector<uint8_t> bytes;
  size_t bitCount = 0;
  uint8_t txMode = 0;  // the chip's transmit mode register: framing and bit rate of the frame

  static AirFrame fromBytes(std::vector<uint8_t> bytes, uint8_t txMode = 0);
  bool bit(size_t index) const { return (bytes[index / 8] >> (index % 8)) & 1; }
  void appendBit(bool value);
};

// What the reader's receiver makes of the answers in one time slot.
struct AirAnswer {
  AirFrame frame;                         // the superposed bits (a collided bit reads as 1)
  std::optional<size_t> firstCollision;   // index of the first bit where cards disagreed
  int timeSlot = 0;
};

// Anything that answers in the field: ISO 14443 A cards, Korvex cards, polling targets.
class RfTarget {
 public:
  virtual ~RfTarget() = default;
  // The reader sent `frame` (CRC bytes included when the chip appended them). Returns the
  // answer (CRC included where the protocol has one) or nullopt for silence.
  virtual std::optional<AirFrame> receive(const AirFrame& frame) = 0;
  // Time slot of the last answer (passive polling); type A cards answer at once: slot 0.
  virtual int answerSlot() const { return 0; }
  // The chip's authenticate command with the 12-byte block: code (0x60 key A, 0x61 key B),
  // block, key (6), serial number (4). True when this card accepts it.
  virtual bool authenticate(const uint8_t* block12) { return false; }
  // The crypto unit was switched off by the host; the card leaves its authenticated state.
  virtual void cryptoOff() {}
  // The field went off and on again: every card falls back to idle.
  virtual void fieldReset() {}
};

// The RF field in front of the chip: holds the targets and superposes their answers.
class RfField {
 public:
  void add(std::shared_ptr<RfTarget> target) { targets_.push_back(std::move(target)); }
  void clear() { targets_.clear(); }
  size_t size() const { return targets_.size(); }
  const std::vector<std::shared_ptr<RfTarget>>& targets() const { return targets_; }

  // Sends `frame` to every target. Answers in the same time slot superpose bit by bit (the
  // first disagreement is a collision); answers in different slots come back as separate
  // frames, in slot order. Empty: nobody answered.
  std::vector<AirAnswer> exchange(const AirFrame& frame);
  // The chip's authenticate command; true when a target accepted it.
  bool authenticate(const uint8_t* block12);
  void cryptoOff();
  void fieldReset();

 private:
  std::vector<std::shared_ptr<RfTarget>> targets_;
};

}  // namespace kvt::sim
