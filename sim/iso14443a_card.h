#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/rf_field.h"

namespace kvt::sim {

// A type A card as ISO/IEC 14443-3 describes it: request, bit-oriented anticollision and
// selection over one to three cascade levels, and halt. Cards answer at the bit level, so
// several of them in one field collide exactly where their serial numbers differ.
//
// Frames the card understands before it is selected:
//   REQA (7 bits 0x26) and WUPA (7 bits 0x52)  -> ATQA, 2 bytes without CRC;
//   SEL NVB + known serial bits (no CRC)       -> the remaining bits of the level's 40 bits;
//   SEL 0x70 + 4 serial bytes + BCC + CRC_A    -> SAK + CRC_A (cascade bit 0x04 while levels
//                                                 remain, the final SAK at the last level);
//   HLTA 50 00 + CRC_A (selected card)         -> silence, the card is halted.
// A frame that needs a CRC and carries a wrong one is ignored. A halted card answers WUPA only.
class Iso14443ACard : public RfTarget {
 public:
  enum class State { Idle, Ready, Active, Halt };

  // `uid` has 4, 7 or 10 bytes (std::invalid_argument otherwise). `sak` is the SAK of the
  // last cascade level; the ATQA follows the UID size (04 00, 44 00, 84 00) unless given.
  explicit Iso14443ACard(std::vector<uint8_t> uid, uint8_t sak = 0x00,
                         std::optional<std::array<uint8_t, 2>> atqa = std::nullopt);

  std::optional<AirFrame> receive(const AirFrame& frame) override;
  void fieldReset() override;

  State state() const { return state_; }
  const std::vector<uint8_t>& uid() const { return uid_; }
  std::array<uint8_t, 2> atqa() const { return atqa_; }
  uint8_t sak() const { return sak_; }
  int cascadeLevels() const {
    return static_cast<int>(uid_.size() == 4 ? 1 : uid_.size() == 7 ? 2 : 3);
  }
  // The 4 bytes the card sends at cascade level `level` (0-based), cascade tag included.
  std::array<uint8_t, 4> levelSerial(int level) const;

  // Fault: the card sends a wrong check byte (BCC) at cascade level 1.
  void setWrongBcc(bool on) { wrongBcc_ = on; }

 protected:
  // A frame for the selected card other than REQA, WUPA and HLTA. Default: ignored.
  virtual std::optional<AirFrame> activeFrame(const AirFrame& frame) { return std::nullopt; }
  // The card leaves the selected state (halt, request, failed authentication, field reset).
  virtual void leftActive() {}
  // Back to idle (or to halt when the card was woken from halt), as after a protocol error.
  void dropOut();

 private:
  std::optional<AirFrame> request(bool wakeUp);
  std::optional<AirFrame> selectFrame(const AirFrame& frame);
  std::optional<AirFrame> anticollision(const AirFrame& frame, int knownBits);
  std::optional<AirFrame> select(const AirFrame& frame);
  // The 40 bits of a level: 4 serial bytes and the check byte as this card sends them.
  std::array<uint8_t, 5> levelBits(int level) const;
  void enter(State next);

  std::vector<uint8_t> uid_;
  std::array<uint8_t, 2> atqa_{};
  uint8_t sak_;
  State state_ = State::Idle;
  bool wokenFromHalt_ = false;  // where a protocol error sends the card back to
  int level_ = 0;               // cascade level being resolved while ready
  bool wrongBcc_ = false;
};

}  // namespace kvt::sim
