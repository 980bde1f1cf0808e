#include "chip/transceiver.h"

#include "chip/command_engine.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

constexpr uint16_t kAuthenticationBlockLength = 12;

CommandParams commandFor(const TransceiverRecord* self, uint8_t command, uint8_t startSend) {
  CommandParams p{};
  p.lower = self->lower;
  p.waitCallback = self->waitCallback;
  p.waitContext = self->waitContext;
  p.command = command;
  p.startSend = startSend;
  return p;
}

bool initiator(const TransceiverRecord* self) { return self->members->initiator != 0; }

}  // namespace

Status Transceive(TransceiveParams* params) {
  TransceiverRecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  CommandParams p = commandFor(self, cmd::Transceive, 1);
  p.sendBuffer = params->sendBuffer;
  p.sendLength = params->sendLength;
  p.receiveBuffer = params->receiveBuffer;
  p.receiveLength = params->receiveLength;
  const Status result = ExecuteCommand(&p);
  params->receiveLength = p.receiveLength;
  return result;
}

Status Transmit(FrameParams* params) {
  TransceiverRecord* self = params->component;
  CommandParams p = commandFor(self, cmd::Transmit, 1);
  if (!initiator(self)) {
    // A target answers within the transceive command the chip is already running.
    RegisterParams command{reg::Command, 0, self->lower};
    if (Status r = self->lower->GetRegister(&command)) return r;
    if ((command.value & bits::CommandField) != cmd::Transceive) return status::WaitFailed;
    p = commandFor(self, cmd::Transceive, 0);
    p.transmitOnly = 1;
  }
  p.sendBuffer = params->buffer;
  p.sendLength = params->length;
  return ExecuteCommand(&p);
}

Status Receive(FrameParams* params) {
  TransceiverRecord* self = params->component;
  CommandParams p =
      initiator(self) ? commandFor(self, cmd::Receive, 1) : commandFor(self, cmd::Transceive, 0);
  p.receiveBuffer = params->buffer;
  p.receiveLength = params->length;
  const Status result = ExecuteCommand(&p);
  params->length = p.receiveLength;
  return result;
}

Status Authenticate(FrameParams* params) {
  TransceiverRecord* self = params->component;
  if (!initiator(self)) return status::WaitFailed;
  if (params->length != kAuthenticationBlockLength) return status::InvalidParameter;
  // The crypto bit stays on after an earlier authentication; cleared first, it can only be on
  // afterwards if this authentication succeeded, so a wrong key is never reported as success.
  ModifyRegisterParams cryptoOff{reg::Status2, bits::CryptoOn, 0, self->lower};
  if (Status r = self->lower->ModifyRegister(&cryptoOff)) return r;
  CommandParams p = commandFor(self, cmd::Authenticate, 1);
  p.sendBuffer = params->buffer;
  p.sendLength = params->length;
  if (Status r = ExecuteCommand(&p)) return r;
  RegisterParams status2{reg::Status2, 0, self->lower};
  if (Status r = self->lower->GetRegister(&status2)) return r;
  return (status2.value & bits::CryptoOn) ? status::Success : status::AuthenticationFailed;
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
  adapter.Transceive = &forwardToLower<ITransceiver, TransceiveParams, &ITransceiver::Transceive>;
  adapter.Authenticate = &forwardToLower<ITransceiver, FrameParams, &ITransceiver::Authenticate>;
  return adapter;
}

}  // namespace kvt::chip
