#include "chip/attribute_sequences.h"
#include "chip/command_engine.h"
#include "chip/configuration_layout.h"
#include "chip/registers.h"

namespace kvt::chip {

Status ReadConfigurationBuffer(const OperationControlRecord* self, uint8_t* buffer) {
  CommandParams p = CommandFor(self, cmd::Configure);
  p.receiveBuffer = buffer;
  p.receiveLength = kConfigurationSize;
  if (Status r = ExecuteCommand(&p)) return r;
  return p.receiveLength < kConfigurationSize ? status::ConfigLength : status::Success;
}

Status WriteConfigurationBuffer(const OperationControlRecord* self, const uint8_t* buffer) {
  CommandParams p = CommandFor(self, cmd::Configure);
  p.sendBuffer = buffer;
  p.sendLength = kConfigurationSize;
  return ExecuteCommand(&p);
}

Status RandomizeIdentifiers(const OperationControlRecord* self) {
  CommandParams p = CommandFor(self, cmd::RandomId);
  return ExecuteCommand(&p);
}

}  // namespace kvt::chip
