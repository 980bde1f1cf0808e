#include "chip/passive_polling.h"

#include <cstring>

#include "chip/command_engine.h"
#include "chip/polling_codes.h"
#include "chip/register_sequence.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

constexpr uint16_t kMinCapacity = polling::LongAnswer + 1;  // one long answer and its status

bool validTimeSlot(uint8_t slots) {
  return slots == 0 || slots == 1 || slots == 3 || slots == 7 || slots == 15;
}

// Packs the good frames of the `count` received bytes to the front of `buffer`; each frame is
// followed by the status byte the chip appended. Returns the bytes kept in `delivered`.
Status collectFrames(uint8_t* buffer, unsigned count, Status result, uint16_t& delivered) {
  unsigned out = 0;
  // A wider index than a byte: a long answer must not wrap around and be walked again.
  for (unsigned i = 0; i < count;) {
    const unsigned length = buffer[i];
    if (length != polling::ShortAnswer && length != polling::LongAnswer) {
      result = status::ProtocolError;
      break;
    }
    // The appended status byte must have been received itself.
    if (i + length < count && buffer[i + 1] == polling::PollingAnswer && buffer[i + length] == 0) {
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
  RegisterSequence seq(self->lower);
  if (self->members->initiator == 0) {
    // A target hands the chip to its automatic anticollision.
    return seq.update(reg::Command, static_cast<uint8_t>(~bits::CommandField),
                      cmd::AutoAnticollision);
  }
  if (params->request == nullptr || params->response == nullptr ||
      params->requestLength != polling::RequestBytes || !validTimeSlot(params->request[3]) ||
      params->responseLength < kMinCapacity) {
    return status::InvalidParameter;
  }
  if (Status s = seq.modify(reg::RxMode, bits::MultipleFrames, true)) return s;

  uint8_t* frame = params->response;
  frame[0] = polling::RequestFrameLength;
  frame[1] = polling::PollingCommand;
  std::memcpy(frame + 2, params->request, polling::RequestBytes);

  CommandParams p = CommandFor(self, cmd::TransceiveUntilTimer, 1);
  p.sendBuffer = frame;
  p.sendLength = polling::RequestFrameLength;
  p.receiveBuffer = params->response;
  p.receiveLength = params->responseLength;
  Status result = ExecuteCommand(&p);

  if (result == status::Timeout || result == status::CrcError || result == status::BufferOverflow) {
    result = collectFrames(params->response, p.receiveLength, result, params->responseLength);
  } else {
    params->responseLength = 0;
  }

  if (Status s = seq.modify(reg::RxMode, bits::MultipleFrames, false)) return s;
  if (Status s = seq.write(reg::InterruptRequest1, irq::ReceiveDone)) return s;
  return result;
}

void InitPassivePolling(PassivePollingRecord* record, PassivePollingMembers* members,
                        RegisterControlRecord* lower, uint8_t mode) {
  InitCommandRecord(record, members, lower);
  record->Poll = &Poll;
  members->initiator = mode;
}

}  // namespace kvt::chip
