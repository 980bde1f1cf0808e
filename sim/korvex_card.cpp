#include "sim/korvex_card.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "chip/crc_a.h"
#include "chip/korvex_commands.h"
#include "sim/card_frames.h"

namespace kvt::sim {

namespace {
namespace code = chip::korvex;

constexpr int kPages = KorvexMemory::kBlocks * 4;
// Where the parts of a trailer lie: key A, the access bits with their user byte, key B.
constexpr int kKeyAAt = 0, kAccessBitsAt = 6, kKeyBAt = 10;
constexpr int kKeySize = 6, kAccessBytes = 4;

AirFrame ack() { return nibbleFrame(nibble::Ack); }
AirFrame refused() { return nibbleFrame(nibble::NakInvalid); }
AirFrame damaged() { return nibbleFrame(nibble::NakTransfer); }
}  // namespace

KorvexCard::KorvexCard(std::vector<uint8_t> uid, const Key& keyA, const Key& keyB)
    : Iso14443ACard(std::move(uid), kSak1K), memory_(keyA, keyB) {
  const auto last = levelSerial(cascadeLevels() - 1);
  memory_.writeManufacturerBlock(this->uid(), chip::bcc(last.data()), sak(), atqa());
}

KorvexCard::KorvexCard(const CardImage& image)
    : Iso14443ACard(image.uid, image.sak, image.atqa), memory_(image.memory) {}

bool KorvexCard::authenticate(const uint8_t* block12) {
  if (state() != State::Active) return false;
  const uint8_t kind = block12[0];
  const int block = block12[1];
  // The reader names the card by the 4 bytes it received at cascade level 1.
  const auto serial = levelSerial(0);
  if ((kind != code::AuthenticateKeyA && kind != code::AuthenticateKeyB) ||
      block >= KorvexMemory::kBlocks || !std::equal(serial.begin(), serial.end(), block12 + 8)) {
    return false;
  }
  const int sector = KorvexMemory::sectorOf(block);
  const Key key = kind == code::AuthenticateKeyA ? memory_.keyA(sector) : memory_.keyB(sector);
  if (!std::equal(key.begin(), key.end(), block12 + 2)) {
    dropOut();  // a failed authentication leaves the card unselected, like a real one
    return false;
  }
  authenticated_ = Opened{sector, kind == code::AuthenticateKeyA ? KeyKind::A : KeyKind::B};
  pending_ = Pending::None;
  transferBuffer_.reset();
  return true;
}

void KorvexCard::cryptoOff() {
  authenticated_.reset();
  pending_ = Pending::None;
  transferBuffer_.reset();
}

void KorvexCard::fieldReset() {
  Iso14443ACard::fieldReset();
  cryptoOff();
}

void KorvexCard::leftActive() { cryptoOff(); }

std::optional<SectorAccess> KorvexCard::accessTo(int block) const {
  if (block >= KorvexMemory::kBlocks || !authenticated_ ||
      authenticated_->sector != KorvexMemory::sectorOf(block)) {
    return std::nullopt;
  }
  return SectorAccess(memory_.block(KorvexMemory::trailerOf(authenticated_->sector)));
}

bool KorvexCard::allows(int block, DataAccess what) const {
  const auto access = accessTo(block);
  if (!access || KorvexMemory::isTrailer(block)) return false;
  if (block == 0 && what != DataAccess::Read) return false;  // the maker's block stays as made
  return access->allows(block % KorvexMemory::kBlocksPerSector, what, authenticated_->key);
}

bool KorvexCard::mayRead(int block) const {
  if (!KorvexMemory::isTrailer(block)) return allows(block, DataAccess::Read);
  // Every usable key may read the access bits, so a trailer read is refused only when the
  // sector is blocked or the key opens nothing.
  const auto access = accessTo(block);
  return access && access->mayRead(TrailerPart::AccessBits, authenticated_->key);
}

bool KorvexCard::mayWrite(int block) const {
  if (!KorvexMemory::isTrailer(block)) return allows(block, DataAccess::Write);
  const auto access = accessTo(block);
  return access && access->mayWriteTrailer(authenticated_->key);
}

KorvexMemory::Block KorvexCard::readable(int block) const {
  KorvexMemory::Block data = memory_.block(block);
  if (!KorvexMemory::isTrailer(block)) return data;
  const SectorAccess access = *accessTo(block);
  const KeyKind key = authenticated_->key;
  std::fill_n(data.begin() + kKeyAAt, kKeySize, 0x00);  // key A never leaves the card
  if (!access.mayRead(TrailerPart::AccessBits, key)) {
    std::fill_n(data.begin() + kAccessBitsAt, kAccessBytes, 0x00);
  }
  if (!access.mayRead(TrailerPart::KeyB, key)) std::fill_n(data.begin() + kKeyBAt, kKeySize, 0x00);
  return data;
}

KorvexMemory::Block KorvexCard::trailerAfterWrite(int block,
                                                  const KorvexMemory::Block& data) const {
  KorvexMemory::Block result = memory_.block(block);
  const SectorAccess access = *accessTo(block);
  const KeyKind key = authenticated_->key;
  auto take = [&](TrailerPart part, int at, int size) {
    if (access.mayWrite(part, key)) std::copy_n(data.begin() + at, size, result.begin() + at);
  };
  take(TrailerPart::KeyA, kKeyAAt, kKeySize);
  take(TrailerPart::AccessBits, kAccessBitsAt, kAccessBytes);
  take(TrailerPart::KeyB, kKeyBAt, kKeySize);
  return result;
}

std::optional<AirFrame> KorvexCard::activeFrame(const AirFrame& frame) {
  const auto payload = payloadIfCrcOk(frame);
  if (pending_ != Pending::None) return secondPhase(payload);
  if (!payload || payload->size() < 2) return damaged();
  return command(*payload);
}

std::optional<AirFrame> KorvexCard::command(const std::vector<uint8_t>& payload) {
  const uint8_t op = payload[0];
  const int block = payload[1];
  switch (op) {
    case code::Read: {
      if (payload.size() != 2 || !mayRead(block)) return refused();
      const auto data = readable(block);
      return frameWithCrc(std::vector<uint8_t>(data.begin(), data.end()));
    }
    case code::Write:
      if (payload.size() != 2 || nakWrites_ || !mayWrite(block)) return refused();
      pending_ = Pending::WriteData;
      pendingBlock_ = block;
      return ack();
    case code::WritePage: {
      const int page = payload[1];
      const int pageBlock = page / 4;
      if (payload.size() != 6 || nakWrites_ || page >= kPages ||
          !allows(pageBlock, DataAccess::Write)) {
        return refused();
      }
      auto data = memory_.block(pageBlock);
      std::copy(payload.begin() + 2, payload.end(), data.begin() + 4 * (page % 4));
      memory_.setBlock(pageBlock, data);
      return ack();
    }
    case code::Decrement:
    case code::Increment:
    case code::Restore:
      if (payload.size() != 2 ||
          !allows(block, op == code::Increment ? DataAccess::Increment : DataAccess::Decrement) ||
          !KorvexMemory::decodeValue(memory_.block(block))) {
        return refused();
      }
      pending_ = Pending::ValueOperand;
      pendingCommand_ = op;
      pendingBlock_ = block;
      return ack();
    case code::Transfer: {
      if (payload.size() != 2 || nakWrites_ || !allows(block, DataAccess::Decrement) ||
          !transferBuffer_) {
        return refused();
      }
      // The destination keeps its own address byte when it is a value block already.
      const auto& old = memory_.block(block);
      const uint8_t address =
          KorvexMemory::decodeValue(old) ? old[12] : static_cast<uint8_t>(block);
      memory_.setBlock(block, KorvexMemory::encodeValue(*transferBuffer_, address));
      transferBuffer_.reset();
      return ack();
    }
    default:
      return refused();
  }
}

std::optional<AirFrame> KorvexCard::secondPhase(
    const std::optional<std::vector<uint8_t>>& payload) {
  const Pending phase = std::exchange(pending_, Pending::None);
  if (phase == Pending::WriteData) {
    if (!payload || payload->size() != KorvexMemory::kBlockSize) return damaged();
    KorvexMemory::Block data;
    std::copy(payload->begin(), payload->end(), data.begin());
    if (KorvexMemory::isTrailer(pendingBlock_)) data = trailerAfterWrite(pendingBlock_, data);
    memory_.setBlock(pendingBlock_, data);
    return ack();
  }
  if (!payload || payload->size() != 4) return damaged();
  const int64_t operand = int64_t((*payload)[0]) | int64_t((*payload)[1]) << 8 |
                          int64_t((*payload)[2]) << 16 | int64_t(int8_t((*payload)[3])) << 24;
  const int64_t value = *KorvexMemory::decodeValue(memory_.block(pendingBlock_));
  int64_t result = value;
  if (pendingCommand_ == code::Decrement) result = value - operand;
  if (pendingCommand_ == code::Increment) result = value + operand;
  // An overflowing result leaves nothing to transfer; the transfer is then refused.
  if (result < INT32_MIN || result > INT32_MAX) {
    transferBuffer_.reset();
  } else {
    transferBuffer_ = static_cast<int32_t>(result);
  }
  if (ackValueOperands_) return ack();
  return std::nullopt;
}

}  // namespace kvt::sim
