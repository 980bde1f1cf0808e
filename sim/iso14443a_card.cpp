#include "sim/iso14443a_card.h"

#include <stdexcept>

#include "chip/crc_a.h"
#include "chip/iso14443a_codes.h"
#include "sim/card_frames.h"

namespace kvt::sim {

namespace iso = chip::iso14443;

namespace {
constexpr uint8_t kShortFrameCode = 0x7F;  // the 7 bits of a short frame

int levelOfSelectCode(uint8_t code) {
  for (int level = 0; level < iso::CascadeLevels; ++level) {
    if (iso::SelectCodes[level] == code) return level;
  }
  return -1;
}
}  // namespace

Iso14443ACard::Iso14443ACard(std::vector<uint8_t> uid, uint8_t sak,
                             std::optional<std::array<uint8_t, 2>> atqa)
    : uid_(std::move(uid)), sak_(sak) {
  if (uid_.size() != 4 && uid_.size() != 7 && uid_.size() != 10) {
    throw std::invalid_argument("a type A UID has 4, 7 or 10 bytes");
  }
  atqa_ = atqa.value_or(
      std::array<uint8_t, 2>{static_cast<uint8_t>(iso::AtqaBitAnticollision |
                                                  ((cascadeLevels() - 1) << iso::AtqaUidSizeShift)),
                             0x00});
}

std::array<uint8_t, 4> Iso14443ACard::levelSerial(int level) const {
  const int levels = cascadeLevels();
  // Every level but the last starts with the cascade tag and carries 3 UID bytes.
  const size_t first = static_cast<size_t>(level) * 3;
  if (level < levels - 1) {
    return {iso::CascadeTag, uid_[first], uid_[first + 1], uid_[first + 2]};
  }
  return {uid_[first], uid_[first + 1], uid_[first + 2], uid_[first + 3]};
}

std::array<uint8_t, 5> Iso14443ACard::levelBits(int level) const {
  const auto serial = levelSerial(level);
  uint8_t check = chip::bcc(serial.data());
  if (wrongBcc_ && level == 0) check = static_cast<uint8_t>(~check);
  return {serial[0], serial[1], serial[2], serial[3], check};
}

void Iso14443ACard::enter(State next) {
  if (state_ == State::Active && next != State::Active) leftActive();
  state_ = next;
}

void Iso14443ACard::dropOut() { enter(wokenFromHalt_ ? State::Halt : State::Idle); }

void Iso14443ACard::fieldReset() {
  enter(State::Idle);
  wokenFromHalt_ = false;
  level_ = 0;
}

std::optional<AirFrame> Iso14443ACard::receive(const AirFrame& frame) {
  if (frame.bitCount == iso::ShortFrameBits && !frame.bytes.empty()) {
    const uint8_t code = frame.bytes[0] & kShortFrameCode;
    if (code == iso::Reqa || code == iso::Wupa) return request(code == iso::Wupa);
  }
  switch (state_) {
    case State::Idle:
    case State::Halt:
      return std::nullopt;
    case State::Ready:
      return selectFrame(frame);
    case State::Active:
      if (auto payload = payloadIfCrcOk(frame); payload && payload->size() == 2 &&
                                                (*payload)[0] == iso::Halt[0] &&
                                                (*payload)[1] == iso::Halt[1]) {
        enter(State::Halt);
        wokenFromHalt_ = false;
        return std::nullopt;
      }
      return activeFrame(frame);
  }
  return std::nullopt;
}

std::optional<AirFrame> Iso14443ACard::request(bool wakeUp) {
  if (state_ == State::Idle) {
    wokenFromHalt_ = false;
  } else if (state_ == State::Halt) {
    if (!wakeUp) return std::nullopt;
    wokenFromHalt_ = true;
  } else if (!wakeUp && wokenFromHalt_) {
    // A card woken from halt that hears REQA goes back to sleep: REQA never wakes it.
    dropOut();
    return std::nullopt;
  }
  enter(State::Ready);
  level_ = 0;
  return AirFrame::fromBytes({atqa_[0], atqa_[1]});
}

std::optional<AirFrame> Iso14443ACard::selectFrame(const AirFrame& frame) {
  if (frame.bitCount < 16 || frame.bytes.size() < 2) {
    dropOut();
    return std::nullopt;
  }
  const int level = levelOfSelectCode(frame.bytes[0]);
  if (level < 0) {
    dropOut();  // anything but a select command ends the ready state
    return std::nullopt;
  }
  if (level != level_) return std::nullopt;  // meant for cards at another cascade level
  const uint8_t nvb = frame.bytes[1];
  if (nvb == iso::NvbSelect) return select(frame);
  const int byteCount = nvb >> 4;
  const int bitCount = nvb & 0x0F;
  const int known = (byteCount - 2) * 8 + bitCount;
  if (byteCount < 2 || bitCount > 7 || known > iso::LevelSerialBits) return std::nullopt;
  if (frame.bitCount != static_cast<size_t>(16 + known)) return std::nullopt;
  return anticollision(frame, known);
}

std::optional<AirFrame> Iso14443ACard::anticollision(const AirFrame& frame, int knownBits) {
  const auto bits = levelBits(level_);
  auto bitOf = [&bits](int index) { return (bits[index / 8] >> (index % 8)) & 1; };
  for (int i = 0; i < knownBits; ++i) {
    if (frame.bit(16 + i) != static_cast<bool>(bitOf(i))) return std::nullopt;
  }
  // The card sends the rest of its 40 bits, starting at the first bit the reader lacks.
  AirFrame answer;
  for (int i = knownBits; i < iso::LevelBitsWithCheck; ++i) answer.appendBit(bitOf(i));
  return answer;
}

std::optional<AirFrame> Iso14443ACard::select(const AirFrame& frame) {
  auto payload = payloadIfCrcOk(frame);
  if (!payload || payload->size() != 7) return std::nullopt;
  const auto bits = levelBits(level_);
  for (int i = 0; i < 5; ++i) {
    if ((*payload)[2 + i] != bits[i]) return std::nullopt;  // another card's serial number
  }
  if (level_ < cascadeLevels() - 1) {
    ++level_;
    return frameWithCrc({iso::SakCascade});
  }
  enter(State::Active);
  return frameWithCrc({sak_});
}

}  // namespace kvt::sim
