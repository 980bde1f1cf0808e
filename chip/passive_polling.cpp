#include "chip/passive_polling.h"

#include <cstring>

#include "chip/command_engine.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

constexpr uint16_t kRequestLength = 4;
constexpr uint16_t kMinCapacity = 21;  // one 20-byte answer and its status byte
constexpr uint8_t kFrameLength = 6;
constexpr uint8_t kPollingCommand = 0x00;
constexpr uint8_t kPollingAnswer = 0x01;
constexpr uint8_t kShortAnswer = 18;
constexpr uint8_t kLongAnswer = 20;

bool validTimeSlot(uint8_t slots) {
  return slots == 0 || slots == 1 || slots == 3 || slots == 7 || slots == 15;
}

Status modifyRegister(RegisterControlRecord* lower, uint8_t address, uint8_t mask, bool set) {
  ModifyRegisterParams p{address, mask, static_cast<uint8_t>(set ? 1 : 0), lower};
  return lower->ModifyRegister(&p);
}

// Packs the good frames of the `count` received bytes to the front of `buffer`; each frame is
// followed by the status byte the chip appended. Returns the bytes kept in `delivered`.
Status collectFrames(uint8_t* buffer, unsigned count, Status result, uint16_t& delivered) {
  unsigned out = 0;
  // A wider index than a byte: a long answer must not wrap around and be walked again.
  for (unsigned i = 0; i < count;) {
    const unsigned length = buffer[i];
    if (length != kShortAnswer && length != kLongAnswer) {
      result = status::ProtocolError;
      break;
    }
    // The appended status byte must have been received itself.
    if (i + length < count && buffer[i + 1] == kPollingAnswer && buffer[i + length] == 0) {
      std::memmove(buffer + out, buffer + i, length);
      out += length;
      result = status::Success;
    }
    i += length + 1;
  }
  delivered = static_cast<uint16_t>(out);
  return result;
}

}  // namespace

Status Poll(PollingParams* params) {
  PassivePollingRecord* self = params->component;
  RegisterControlRecord* lower = self->lower;
  if (self->members->initiator == 0) {
    RegisterParams command{reg::Command, 0, lower};
    if (Status s = lower->GetRegister(&command)) return s;
    command.value =
        static_cast<uint8_t>((command.value & ~bits::CommandField) | cmd::AutoAnticollision);
    if (Status s = lower->SetRegister(&command)) return s;
    return status::Success;
  }
  if (params->request == nullptr || params->response == nullptr ||
      params->requestLength != kRequestLength || !validTimeSlot(params->request[3]) ||
      params->responseLength < kMinCapacity) {
    return status::InvalidParameter;
  }
  if (Status s = modifyRegister(lower, reg::RxMode, bits::MultipleFrames, true)) return s;

  uint8_t* frame = params->response;
  frame[0] = kFrameLength;
  frame[1] = kPollingCommand;
  std::memcpy(frame + 2, params->request, kRequestLength);

  CommandParams p{};
  p.lower = lower;
  p.waitCallback = self->waitCallback;
  p.waitContext = self->waitContext;
  p.command = cmd::TransceiveUntilTimer;
  p.startSend = 1;
  p.sendBuffer = frame;
  p.sendLength = kFrameLength;
  p.receiveBuffer = params->response;
  p.receiveLength = params->responseLength;
  Status result = ExecuteCommand(&p);

  if (result == status::Timeout || result == status::CrcError || result == status::BufferOverflow) {
    result = collectFrames(params->response, p.receiveLength, result, params->responseLength);
  } else {
    params->responseLength = 0;
  }

  if (Status s = modifyRegister(lower, reg::RxMode, bits::MultipleFrames, false)) return s;
  RegisterParams clear{reg::InterruptRequest1, irq::ReceiveDone, lower};
  if (Status s = lower->SetRegister(&clear)) return s;
  return result;
}

void InitPassivePolling(PassivePollingRecord* record, PassivePollingMembers* members,
                        RegisterControlRecord* lower, uint8_t mode) {
  InitCommandRecord(record, members, lower);
  record->Poll = &Poll;
  members->initiator = mode;
}

}  // namespace kvt::chip
