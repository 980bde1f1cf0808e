#include "chip/register_control.h"

#include "chip/address_byte.h"

namespace kvt::chip {

namespace {
bool testLayout(const RegisterControlRecord* record) {
  return record->members->testChipAddressing != 0;
}

Status writeByte(RegisterControlRecord* record, uint8_t byte) {
  BusByteParams bus{byte, record->lower};
  return record->lower->WriteBus(&bus);
}

Status readByte(RegisterControlRecord* record, uint8_t& byte) {
  BusByteParams bus{0, record->lower};
  const Status result = record->lower->ReadBus(&bus);
  byte = bus.byte;
  return result;
}
}  // namespace

Status SetRegister(RegisterParams* params) {
  RegisterControlRecord* self = params->component;
  const uint8_t address = addressByte(params->address, Access::Write, testLayout(self));
  BusPairParams bus{address, params->value, self->lower};
  if (Status s = self->lower->WriteBusPair(&bus)) return s;
  uint8_t echo = 0;
  if (Status s = readByte(self, echo)) return s;
  return echo == address ? status::Success : status::SerialInterface;
}

Status GetRegister(RegisterParams* params) {
  RegisterControlRecord* self = params->component;
  if (Status s = writeByte(self, addressByte(params->address, Access::Read, testLayout(self)))) {
    return s;
  }
  return readByte(self, params->value);
}

Status ModifyRegister(ModifyRegisterParams* params) {
  RegisterParams reg{params->address, 0, params->component};
  if (Status s = GetRegister(&reg)) return s;
  reg.value = params->set ? static_cast<uint8_t>(reg.value | params->mask)
                          : static_cast<uint8_t>(reg.value & ~params->mask);
  return SetRegister(&reg);
}

Status SetRegisterMultiple(RegisterMultipleParams* params) {
  // A wider index than the chip's own 8 bits: a length of 256 or more must not loop forever.
  for (unsigned index = 0; index < params->length; ++index) {
    RegisterParams reg{params->address, params->buffer[index], params->component};
    if (Status s = SetRegister(&reg)) return s;
  }
  return status::Success;
}

Status GetRegisterMultiple(RegisterMultipleParams* params) {
  for (unsigned index = 0; index < params->length; ++index) {
    RegisterParams reg{params->address, 0, params->component};
    const Status s = GetRegister(&reg);
    params->buffer[index] = reg.value;
    if (s) return s;
  }
  return status::Success;
}

void InitRegisterControl(RegisterControlRecord* record, RegisterControlMembers* members,
                         SerialBusRecord* lower) {
  record->SetRegister = &SetRegister;
  record->GetRegister = &GetRegister;
  record->ModifyRegister = &ModifyRegister;
  record->SetRegisterMultiple = &SetRegisterMultiple;
  record->GetRegisterMultiple = &GetRegisterMultiple;
  record->members = members;
  record->callingObject = nullptr;
  record->lower = lower;
  members->testChipAddressing = 0;
}

RegisterControlRecord MakeRegisterControlAdapter() {
  RegisterControlRecord adapter{};
  adapter.SetRegister =
      &forwardToLower<IRegisterControl, RegisterParams, &IRegisterControl::SetRegister>;
  adapter.GetRegister =
      &forwardToLower<IRegisterControl, RegisterParams, &IRegisterControl::GetRegister>;
  adapter.ModifyRegister =
      &forwardToLower<IRegisterControl, ModifyRegisterParams, &IRegisterControl::ModifyRegister>;
  adapter.SetRegisterMultiple = &forwardToLower<IRegisterControl, RegisterMultipleParams,
                                                &IRegisterControl::SetRegisterMultiple>;
  adapter.GetRegisterMultiple = &forwardToLower<IRegisterControl, RegisterMultipleParams,
                                                &IRegisterControl::GetRegisterMultiple>;
  return adapter;
}

SerialBusRecord MakeSerialBusAdapter() {
  SerialBusRecord adapter{};
  adapter.WriteBus = &forwardToLower<ISerialBus, BusByteParams, &ISerialBus::WriteBus>;
  adapter.ReadBus = &forwardToLower<ISerialBus, BusByteParams, &ISerialBus::ReadBus>;
  adapter.WriteBusPair = &forwardToLower<ISerialBus, BusPairParams, &ISerialBus::WriteBusPair>;
  return adapter;
}

}  // namespace kvt::chip
