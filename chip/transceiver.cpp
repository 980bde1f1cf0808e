#include "chip/transceiver.h"

#include "chip/command_engine.h"
#include "chip/register_sequence.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

constexpr uint16_t kAuthenticationBlockLength = 12;

bool initiator(const TransceiverRecord* self) { return self->members->initiator != 0; }

// Runs `p` and hands back the number of complete bytes received in `length`.
Status runReceiving(CommandParams& p, uint16_t& length) {
  const Status result = ExecuteCommand(&p);
  length = p.receiveLength;
  return result;
}

}  // namespace

Status Transceive(TransceiveParams* params) {
  TransceiverRecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  CommandParams p = CommandFor(self, cmd::Transceive, 1);
  p.sendBuffer = params->sendBuffer;
  p.sendLength = params->sendLength;
  p.receiveBuffer = params->receiveBuffer;
  p.receiveLength = params->receiveLength;
  return runReceiving(p, params->receiveLength);
}

Status Transmit(FrameParams* params) {
  TransceiverRecord* self = params->component;
  CommandParams p = CommandFor(self, cmd::Transmit, 1);
  if (!initiator(self)) {
    // A target answers within the transceive command the chip is already running.
    uint8_t command = 0;
    if (Status r = RegisterSequence(self->lower).read(reg::Command, command)) return r;
    if ((command & bits::CommandField) != cmd::Transceive) return status::WaitFailed;
    p = CommandFor(self, cmd::Transceive, 0);
    p.transmitOnly = 1;
  }
  p.sendBuffer = params->buffer;
  p.sendLength = params->length;
  return ExecuteCommand(&p);
}

Status Receive(FrameParams* params) {
  TransceiverRecord* self = params->component;
  CommandParams p =
      initiator(self) ? CommandFor(self, cmd::Receive, 1) : CommandFor(self, cmd::Transceive, 0);
  p.receiveBuffer = params->buffer;
  p.receiveLength = params->length;
  return runReceiving(p, params->length);
}

Status Authenticate(FrameParams* params) {
  TransceiverRecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  if (params->length != kAuthenticationBlockLength) return status::InvalidParameter;
  // The crypto bit stays on after an earlier authentication; cleared first, it can only be on
  // afterwards if this authentication succeeded, so a wrong key is never reported as success.
  RegisterSequence seq(self->lower);
  if (Status r = seq.modify(reg::Status2, bits::CryptoOn, false)) return r;
  CommandParams p = CommandFor(self, cmd::Authenticate, 1);
  p.sendBuffer = params->buffer;
  p.sendLength = params->length;
  if (Status r = ExecuteCommand(&p)) return r;
  uint8_t status2 = 0;
  if (Status r = seq.read(reg::Status2, status2)) return r;
  return (status2 & bits::CryptoOn) ? status::Success : status::AuthenticationFailed;
}

void InitTransceiver(TransceiverRecord* record, TransceiverMembers* members,
                     RegisterControlRecord* lower, uint8_t mode) {
  InitCommandRecord(record, members, lower);
  record->Transceive = &Transceive;
  record->Transmit = &Transmit;
  record->Receive = &Receive;
  record->Authenticate = &Authenticate;
  members->initiator = mode;
}

TransceiverRecord MakeTransceiverAdapter() {
  TransceiverRecord adapter{};
  adapter.SetWaitEventCallback =
      &forwardToLower<ITransceiver, WaitCallbackParams<TransceiverRecord>,
                      &ITransceiver::SetWaitEventCallback>;
  adapter.Transceive = &forwardToLower<ITransceiver, TransceiveParams, &ITransceiver::Transceive>;
  adapter.Transmit = &forwardToLower<ITransceiver, FrameParams, &ITransceiver::Transmit>;
  adapter.Receive = &forwardToLower<ITransceiver, FrameParams, &ITransceiver::Receive>;
  adapter.Authenticate = &forwardToLower<ITransceiver, FrameParams, &ITransceiver::Authenticate>;
  return adapter;
}

}  // namespace kvt::chip
