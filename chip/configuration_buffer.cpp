#include "chip/attribute_sequences.h"
#include "chip/command_engine.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {
CommandParams commandFor(const OperationControlRecord* self, uint8_t command) {
  CommandParams p{};
  p.lower = self->lower;
  p.waitCallback = self->waitCallback;
  p.waitContext = self->waitContext;
  p.command = command;
  return p;
}
}  // namespace

Status ReadConfigurationBuffer(const OperationControlRecord* self, uint8_t* buffer) {
  CommandParams p = commandFor(self, cmd::Configure);
  p.receiveBuffer = buffer;
  p.receiveLength = kConfigurationSize;
  if (Status r = ExecuteCommand(&p)) return r;
  return p.receiveLength < kConfigurationSize ? status::ConfigLength : status::Success;
}

Status WriteConfigurationBuffer(const OperationControlRecord* self, const uint8_t* buffer) {
  CommandParams p = commandFor(self, cmd::Configure);
  p.sendBuffer = buffer;
  p.sendLength = kConfigurationSize;
  return ExecuteCommand(&p);
}

Status RandomizeIdentifiers(const OperationControlRecord* self) {
  CommandParams p = commandFor(self, cmd::RandomId);
  return ExecuteCommand(&p);
}

}  // namespace kvt::chip
