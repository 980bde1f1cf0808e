#include "chip/korvex_reader.h"

#include <cstring>

namespace kvt::chip {

namespace {

constexpr uint16_t kAnswerCapacity = 32;
constexpr uint8_t kHeaderLength = 2;
constexpr uint8_t kAuthenticationLength = 12;
constexpr uint8_t kOperandLength = 4;

// How a 4-bit answer reads: an ACK, a NAK, or something no card sends.
Status nibbleStatus(uint8_t b) {
  // A whole byte is a nibble only when both halves agree (the card repeated it).
  if (b > 0x0F && (b >> 4) != (b & 0x0F)) return status::UnexpectedAnswer;
  if (b & 0x0A) return status::Success;
  if (b & 0x05) return status::Nak;
  return status::UnexpectedAnswer;
}

Status authenticate(KorvexCommandParams* params) {
  if (params->data == nullptr) return status::InvalidParameter;
  KorvexReaderRecord* self = params->component;
  uint8_t* block = self->members->scratch;
  block[0] = params->command;
  block[1] = params->address;
  std::memcpy(block + 2, params->data, kAuthenticationLength - 2);  // key, serial number
  params->answerFlags = 0;
  FrameParams frame{block, kAuthenticationLength, self->lower};
  return self->lower->Authenticate(&frame);
}

bool sendsData(uint8_t command) {
  return command == korvex::Write || command == korvex::WritePage || command == korvex::Decrement ||
         command == korvex::Increment;
}

uint8_t requiredLength(uint8_t command) {
  return command == korvex::Write ? korvex::kMaxData : kOperandLength;
}

bool inTable(uint8_t command) {
  switch (command) {
    case korvex::Read:
    case korvex::AuthenticateKeyA:
    case korvex::AuthenticateKeyB:
    case korvex::Write:
    case korvex::WritePage:
    case korvex::Transfer:
    case korvex::Decrement:
    case korvex::Increment:
    case korvex::Restore:
      return true;
    default:
      return false;
  }
}

}  // namespace

Status Exchange(KorvexCommandParams* params) {
  KorvexReaderRecord* self = params->component;
  uint8_t* frame = self->members->scratch;
  uint16_t length = 0;
  if (params->command != 0) {
    frame[0] = params->command;
    frame[1] = params->address;
    length = kHeaderLength;
  }
  if (params->dataLength > korvex::kMaxData) {
    params->dataLength = 0;
    return status::BufferOverflow;
  }
  if (params->dataLength != 0 && params->data != nullptr) {
    std::memcpy(frame + length, params->data, params->dataLength);
    length = static_cast<uint16_t>(length + params->dataLength);
  }
  TransceiveParams t{frame, length, frame, kAnswerCapacity, self->lower};
  const Status s = self->lower->Transceive(&t);

  if (s == status::AckNakNibble) {
    params->dataLength = 0;
    if ((params->answerFlags & answerFlag::Ack) && t.receiveLength == 1) {
      return nibbleStatus(frame[0]);
    }
    return status::UnexpectedAnswer;
  }
  if (s == status::Timeout) {
    params->dataLength = 0;
    return (params->answerFlags & answerFlag::Silence) ? status::Success : status::Timeout;
  }
  if (s != status::Success) return s;
  if (!(params->answerFlags & answerFlag::Data)) {
    params->dataLength = 0;  // data came where an acknowledgement was due
    return status::UnexpectedAnswer;
  }
  if (t.receiveLength > korvex::kMaxData) {
    params->dataLength = 0;
    return status::BufferTooSmall;
  }
  if (params->data != nullptr) std::memcpy(params->data, frame, t.receiveLength);
  params->dataLength = static_cast<uint8_t>(t.receiveLength);
  return status::Success;
}

Status TwoPhaseExchange(KorvexCommandParams* params) {
  KorvexReaderRecord* self = params->component;
  // Refused before the header goes out: a card that acknowledged the header would otherwise
  // wait for a data phase that never comes.
  if (params->dataLength > korvex::kMaxData) {
    params->dataLength = 0;
    return status::BufferOverflow;
  }
  KorvexCommandParams header{params->command, params->address, nullptr, 0, answerFlag::Ack, self};
  Status s = self->Exchange(&header);
  if (s == status::Success) {
    KorvexCommandParams data{
        0, params->address, params->data, params->dataLength, params->answerFlags, self};
    s = self->Exchange(&data);
  }
  params->dataLength = 0;
  return s;
}

Status KorvexCommand(KorvexCommandParams* params) {
  KorvexReaderRecord* self = params->component;
  const uint8_t command = params->command;
  if (!inTable(command)) {
    params->dataLength = 0;
    return status::UnknownCommand;
  }
  if (sendsData(command) &&
      (params->dataLength != requiredLength(command) || params->data == nullptr)) {
    return status::InvalidParameter;
  }
  switch (command) {
    case korvex::AuthenticateKeyA:
    case korvex::AuthenticateKeyB:
      return authenticate(params);
    case korvex::Read:
      params->dataLength = 0;
      params->answerFlags = answerFlag::Data;
      return self->Exchange(params);
    case korvex::WritePage:
      params->answerFlags = answerFlag::Ack;
      return self->Exchange(params);
    case korvex::Transfer:
      params->dataLength = 0;
      params->answerFlags = answerFlag::Ack;
      return self->Exchange(params);
    case korvex::Write:
      params->answerFlags = answerFlag::Ack;
      return self->TwoPhaseExchange(params);
    case korvex::Decrement:
      // A card may acknowledge the operand or stay silent.
      params->answerFlags = answerFlag::Ack | answerFlag::Silence;
      return self->TwoPhaseExchange(params);
    case korvex::Increment:
      params->answerFlags = answerFlag::Silence;
      return self->TwoPhaseExchange(params);
    case korvex::Restore: {
      uint8_t zeroOperand[kOperandLength] = {};
      KorvexCommandParams restore{command,        params->address,     zeroOperand,
                                  kOperandLength, answerFlag::Silence, self};
      const Status s = self->TwoPhaseExchange(&restore);
      params->answerFlags = answerFlag::Silence;
      params->data = nullptr;
      params->dataLength = 0;
      return s;
    }
  }
  return status::UnknownCommand;
}

void InitKorvexReader(KorvexReaderRecord* record, KorvexReaderMembers* members,
                      TransceiverRecord* lower, uint8_t* scratch) {
  record->Exchange = &Exchange;
  record->TwoPhaseExchange = &TwoPhaseExchange;
  record->KorvexCommand = &KorvexCommand;
  record->members = members;
  record->callingObject = nullptr;
  record->lower = lower;
  members->scratch = scratch;
}

}  // namespace kvt::chip
