#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/card_image.h"
#include "sim/iso14443a_card.h"
#include "sim/korvex_access.h"
#include "sim/korvex_memory.h"

namespace kvt::sim {

// A Korvex 1K memory card on top of the type A protocol. Once selected it authenticates a
// sector through the chip's authenticate command (no cipher is modelled: a matching key simply
// opens the sector) and then serves, every frame with CRC_A:
//   30 block              -> 16 data bytes + CRC (a trailer reads with key A as zeros);
//   A0 block, then 16 B   -> ACK after the header, ACK after the data;
//   A2 page 4 B           -> ACK (page p is bytes 4*(p%4).. of block p/4);
//   C0/C1/C2 block, 4 B   -> ACK after the header; the operand (decrement, increment, restore)
//                            goes into the transfer buffer and the card stays silent;
//   B0 block              -> ACK, the transfer buffer is written as a value block.
// Acknowledgements are 4-bit frames without CRC: 0xA ACK, 0x4 refused, 0x5 damaged frame.
// Every access is checked against the access bits of the sector's trailer (SectorAccess) for
// the key that opened the sector; block 0 is never written.
class KorvexCard : public Iso14443ACard {
 public:
  using Key = KorvexMemory::Key;
  static constexpr Key kDefaultKey{0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42};
  static constexpr uint8_t kSak1K = 0x08;

  // A card with the given 4-, 7- or 10-byte UID, `keyA` and `keyB` in every trailer.
  explicit KorvexCard(std::vector<uint8_t> uid, const Key& keyA = kDefaultKey,
                      const Key& keyB = kDefaultKey);
  // The card a 1K image describes: its memory as it is, UID, SAK and ATQA from block 0.
  explicit KorvexCard(const CardImage& image);

  bool authenticate(const uint8_t* block12) override;
  void cryptoOff() override;
  void fieldReset() override;

  KorvexMemory& memory() { return memory_; }
  const KorvexMemory& memory() const { return memory_; }
  // The sector the card is authenticated for, if any.
  std::optional<int> authenticatedSector() const {
    return authenticated_ ? std::optional<int>(authenticated_->sector) : std::nullopt;
  }

  // Fault: every write (A0 and A2 headers, transfer) is refused with NAK 0x4.
  void setNakWrites(bool on) { nakWrites_ = on; }
  // Fault: the card acknowledges the operand of the value commands instead of staying silent.
  void setAckValueOperands(bool on) { ackValueOperands_ = on; }

 protected:
  std::optional<AirFrame> activeFrame(const AirFrame& frame) override;
  void leftActive() override;

 private:
  enum class Pending { None, WriteData, ValueOperand };
  struct Opened {
    int sector;
    KeyKind key;
  };

  std::optional<AirFrame> command(const std::vector<uint8_t>& payload);
  std::optional<AirFrame> secondPhase(const std::optional<std::vector<uint8_t>>& payload);
  // The rules of `block`'s sector; nullopt unless that sector is open.
  std::optional<SectorAccess> accessTo(int block) const;
  // `what` on data block `block` (never block 0 unless reading, never a trailer).
  bool allows(int block, DataAccess what) const;
  bool mayRead(int block) const;
  bool mayWrite(int block) const;
  // The block as this key may see it: trailer parts it may not read come as zeros.
  KorvexMemory::Block readable(int block) const;
  // A trailer write changes only the parts the key may write.
  KorvexMemory::Block trailerAfterWrite(int block, const KorvexMemory::Block& data) const;

  KorvexMemory memory_;
  std::optional<Opened> authenticated_;
  Pending pending_ = Pending::None;
  uint8_t pendingCommand_ = 0;
  int pendingBlock_ = 0;
  std::optional<int32_t> transferBuffer_;
  bool nakWrites_ = false;
  bool ackValueOperands_ = false;
};

}  // namespace kvt::sim
