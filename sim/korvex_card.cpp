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

AirFrame ack() { return nibbleFrame(nibble::Ack); }
AirFrame refused() { return nibbleFrame(nibble::NakInvalid); }
AirFrame damaged() { return nibbleFrame(nibble::NakTransfer); }
}  // namespace

KorvexCard::KorvexCard(std::vector<uint8_t> uid, const Key& keyA, const Key& keyB)
    : Iso14443ACard(std::move(uid), kSak1K), memory_(keyA, keyB) {
  const auto last = levelSerial(cascadeLevels() - 1);
  memory_.writeManufacturerBlock(this->uid(), chip::bcc(last.data()), sak(), atqa());
}

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
  authenticated_ = sector;
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

bool KorvexCard::mayAccess(int block) const {
  return block < KorvexMemory::kBlocks && authenticated_ &&
         *authenticated_ == KorvexMemory::sectorOf(block);
}

bool KorvexCard::mayWriteData(int block) const {
  return mayAccess(block) && block != 0 && !KorvexMemory::isTrailer(block);
}

KorvexMemory::Block KorvexCard::readable(int block) const {
  KorvexMemory::Block data = memory_.block(block);
  if (KorvexMemory::isTrailer(block)) std::fill_n(data.begin(), 6, 0x00);  // key A stays secret
  return data;
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
      if (payload.size() != 2 || !mayAccess(block)) return refused();
      const auto data = readable(block);
      return frameWithCrc(std::vector<uint8_t>(data.begin(), data.end()));
    }
    case code::Write:
      // The trailer may be written (new keys); block 0 never.
      if (payload.size() != 2 || nakWrites_ || !mayAccess(block) || block == 0) return refused();
      pending_ = Pending::WriteData;
      pendingBlock_ = block;
      return ack();
    case code::WritePage: {
      const int page = payload[1];
      const int pageBlock = page / 4;
      if (payload.size() != 6 || nakWrites_ || page >= kPages || !mayWriteData(pageBlock)) {
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
      if (payload.size() != 2 || !mayWriteData(block) ||
          !KorvexMemory::decodeValue(memory_.block(block))) {
        return refused();
      }
      pending_ = Pending::ValueOperand;
      pendingCommand_ = op;
      pendingBlock_ = block;
      return ack();
    case code::Transfer: {
      if (payload.size() != 2 || nakWrites_ || !mayWriteData(block) || !transferBuffer_) {
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
