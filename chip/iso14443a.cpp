#include "chip/iso14443a.h"

#include <cstring>

#include "chip/command_engine.h"
#include "chip/crc_a.h"
#include "chip/register_sequence.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

constexpr int kLevelBits = iso14443::LevelSerialBits;
constexpr int kLevelBitsWithCheck = iso14443::LevelBitsWithCheck;
constexpr int kMaxKnownBits = kLevelBits * iso14443::CascadeLevels;
constexpr uint8_t kTargetHaltBit = 0x04;  // reg::Mifare: re-arm automatic anticollision
constexpr uint8_t kCollisionSeen = 0x01;  // in `collisionFlags`

bool initiator(const Iso14443ARecord* self) { return self->members->initiator != 0; }

RegisterSequence registers(Iso14443ARecord* self) { return RegisterSequence(self->lower); }

// CRC generation on send and CRC check on receive, switched together.
Status setCrc(Iso14443ARecord* self, bool on) {
  if (Status s = registers(self).modify(reg::TxMode, bits::CrcOn, on)) return s;
  return registers(self).modify(reg::RxMode, bits::CrcOn, on);
}

struct Answer {
  uint16_t length = 0;    // complete bytes
  uint16_t lastBits = 0;  // valid bits of a last incomplete byte
};

Status transceive(Iso14443ARecord* self, const uint8_t* frame, uint16_t length, uint8_t* answer,
                  uint16_t capacity, Answer& received) {
  CommandParams p = CommandFor(self, cmd::Transceive, 1);
  p.sendBuffer = frame;
  p.sendLength = length;
  p.receiveBuffer = answer;
  p.receiveLength = capacity;
  const Status s = ExecuteCommand(&p);
  received.length = p.receiveLength;
  received.lastBits = p.receiveLastBits;
  return s;
}

uint8_t selectCodeOf(const AnticollisionParams* params, int level) {
  if (level == 0) return params->selectCode;
  return iso14443::SelectCodes[level];
}

// Bit-oriented anticollision within one cascade level, from `known` bits of `serial` on.
Status levelRounds(Iso14443ARecord* self, uint8_t code, int known, uint8_t* serial,
                   uint8_t& collisionFlags, Status& result) {
  while (result == status::Success) {
    if (known > kLevelBits) {
      result = status::InvalidParameter;
      break;
    }
    const int whole = (known + 7) / 8;
    const int odd = known % 8;
    uint8_t frame[2 + 4];
    frame[0] = code;
    frame[1] = static_cast<uint8_t>(iso14443::NvbBase + 16 * (known / 8) + odd);
    std::memcpy(frame + 2, serial, whole);
    // The last sent byte carries `odd` bits; the answer's first bit lands at bit `odd`.
    const auto framing = static_cast<uint8_t>((odd << bits::RxAlignShift) | odd);
    if (Status s = registers(self).write(reg::BitFraming, framing)) return s;
    uint8_t answer[5] = {};  // bits the card does not send read as 0
    Answer received;
    result =
        transceive(self, frame, static_cast<uint16_t>(whole + 2), answer, sizeof answer, received);
    const bool collision = result == status::Collision;
    if (collision) {
      collisionFlags |= kCollisionSeen;
    } else if (result != status::Success) {
      break;
    }
    const int fresh = 8 * received.length + received.lastBits - odd;
    // A round must bring new bits (else the same frame would go out for ever) and, without a
    // collision, all the bits the level still lacks.
    if (fresh <= 0 || fresh + known > kLevelBitsWithCheck ||
        (!collision && fresh + known != kLevelBitsWithCheck)) {
      result = status::BitCountError;
      break;
    }
    int next = 0;
    if (odd != 0) serial[whole - 1] |= answer[next++];
    for (int i = whole; i < 4; ++i) serial[i] = answer[next++];
    if (collision) {
      known += fresh;
      result = status::Success;
      continue;
    }
    result = answer[next] == bcc(serial) ? status::Success : status::BccError;
    break;
  }
  return status::Success;
}

Status levelAnticollision(Iso14443ARecord* self, uint8_t code, int known, uint8_t* serial,
                          uint8_t& collisionFlags) {
  if (Status s = setCrc(self, false)) return s;
  if (Status s = registers(self).write(reg::Collision, 0x00)) return s;
  Status result = status::Success;
  if (Status s = levelRounds(self, code, known, serial, collisionFlags, result)) return s;
  if (Status s = registers(self).write(reg::BitFraming, 0x00)) return s;
  if (Status s = registers(self).write(reg::Collision, bits::KeepAfterCollision)) return s;
  return result;
}

Status levelSelect(Iso14443ARecord* self, uint8_t code, const uint8_t* serial, uint8_t& sak) {
  if (Status s = setCrc(self, true)) return s;
  const uint8_t frame[7] = {code,      iso14443::NvbSelect, serial[0],  serial[1],
                            serial[2], serial[3],           bcc(serial)};
  uint8_t answer[1] = {};
  Answer received;
  if (Status s = transceive(self, frame, sizeof frame, answer, 1, received)) return s;
  if (received.length != 1 || received.lastBits != 0) return status::BitCountError;
  sak = answer[0];
  return status::Success;
}

}  // namespace

Status RequestA(RequestParams* params) {
  Iso14443ARecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  if (Status s = registers(self).modify(reg::Status2, bits::CryptoOn, false)) return s;
  if (Status s = registers(self).write(reg::Collision, bits::KeepAfterCollision)) return s;
  if (Status s = setCrc(self, false)) return s;
  if (Status s = registers(self).write(reg::BitFraming, iso14443::ShortFrameBits)) return s;

  Answer received;
  Status result = transceive(self, &params->requestCode, 1, params->atqa, 2, received);
  const bool answered = result == status::Success || result == status::Collision;
  if (answered && (received.length != 2 || received.lastBits != 0)) {
    result = status::ProtocolError;
  }
  // Only a well-formed ATQA (possibly collided) is kept.
  if (result != status::Success && result != status::Collision) {
    params->atqa[0] = params->atqa[1] = 0;
  }
  if (Status s = registers(self).write(reg::BitFraming, 0x00)) return s;
  return result;
}

Status AnticollisionSelect(AnticollisionParams* params) {
  Iso14443ARecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  int remaining = params->knownBits;
  Status result = status::Success;
  for (int level = 0; level < iso14443::CascadeLevels; ++level) {
    const int known = remaining > kLevelBits ? kLevelBits : remaining;
    remaining -= known;
    const uint8_t code = selectCodeOf(params, level);
    uint8_t* serial = params->serial + 4 * level;
    if (known != kLevelBits) {
      result = levelAnticollision(self, code, known, serial, params->collisionFlags);
    }
    if (result == status::Success) {
      result = levelSelect(self, code, serial, params->sak);
      if (result == status::Success) {
        params->knownBits = static_cast<uint8_t>(kLevelBits * (level + 1));
        if (!(params->sak & iso14443::SakCascade)) break;
      }
    }
    if (result != status::Success) break;
  }
  return result;
}

Status Select(AnticollisionParams* params) {
  Iso14443ARecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  if (params->knownBits % kLevelBits != 0 || params->knownBits > kMaxKnownBits) {
    return status::InvalidParameter;
  }
  Status result = status::Success;
  for (int level = 0; level < params->knownBits / kLevelBits && result == status::Success;
       ++level) {
    result =
        levelSelect(self, selectCodeOf(params, level), params->serial + 4 * level, params->sak);
  }
  return result;
}

Status HaltA(HaltParams* params) {
  Iso14443ARecord* self = params->component;
  if (initiator(self)) {
    uint8_t unused[1];  // capacity 0: an answering card only makes the status 0x0007
    Answer received;
    const Status s = transceive(self, iso14443::Halt, sizeof iso14443::Halt, unused, 0, received);
    return s == status::Timeout ? status::Success : s;
  }
  if (params->length != 2 || params->buffer == nullptr || params->buffer[0] != iso14443::Halt[0] ||
      params->buffer[1] != iso14443::Halt[1]) {
    return status::UnexpectedAnswer;
  }
  if (Status s = registers(self).modify(reg::Mifare, kTargetHaltBit, true)) return s;
  return registers(self).write(reg::Command, cmd::AutoAnticollision);
}

void InitIso14443A(Iso14443ARecord* record, Iso14443AMembers* members, RegisterControlRecord* lower,
                   uint8_t mode) {
  InitCommandRecord(record, members, lower);
  record->RequestA = &RequestA;
  record->AnticollisionSelect = &AnticollisionSelect;
  record->Select = &Select;
  record->HaltA = &HaltA;
  members->initiator = mode;
}

}  // namespace kvt::chip
