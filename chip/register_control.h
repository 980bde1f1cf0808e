#pragma once

#include <cstdint>

#include "chip/component.h"
#include "chip/serial_bus.h"

namespace kvt::chip {

struct RegisterControlRecord;

struct RegisterParams {
  uint8_t address;
  uint8_t value;  // in: SetRegister; out: GetRegister
  RegisterControlRecord* component;
};

struct ModifyRegisterParams {
  uint8_t address;
  uint8_t mask;
  uint8_t set;  // non-zero: set the mask bits; 0: clear them
  RegisterControlRecord* component;
};

struct RegisterMultipleParams {
  uint8_t address;
  uint16_t length;  // at most 255: the byte index is 8 bits wide
  uint8_t* buffer;
  RegisterControlRecord* component;
};

struct RegisterControlMembers {
  uint8_t testChipAddressing = 0;
};

struct RegisterControlRecord {
  Status (*SetRegister)(RegisterParams*);
  Status (*GetRegister)(RegisterParams*);
  Status (*ModifyRegister)(ModifyRegisterParams*);
  Status (*SetRegisterMultiple)(RegisterMultipleParams*);
  Status (*GetRegisterMultiple)(RegisterMultipleParams*);
  RegisterControlMembers* members;
  void* callingObject;
  SerialBusRecord* lower;
};

// One write transaction: address byte, value, then the chip's echo of the address byte
// (0x0104 when the echo differs).
Status SetRegister(RegisterParams* params);
// One read transaction: address byte with the read flag, one answer byte.
Status GetRegister(RegisterParams* params);
// Read, change the mask bits, write back (also when nothing changes).
Status ModifyRegister(ModifyRegisterParams* params);
// `length` complete write transactions to the same register; stops at the first failure.
Status SetRegisterMultiple(RegisterMultipleParams* params);
// `length` complete read transactions of the same register; stops at the first failure.
Status GetRegisterMultiple(RegisterMultipleParams* params);
void InitRegisterControl(RegisterControlRecord* record, RegisterControlMembers* members,
                         SerialBusRecord* lower);

class IRegisterControl {
 public:
  virtual ~IRegisterControl() = default;
  virtual Status SetRegister(RegisterParams* params) = 0;                  // slot 0
  virtual Status GetRegister(RegisterParams* params) = 0;                  // slot 1
  virtual Status ModifyRegister(ModifyRegisterParams* params) = 0;         // slot 2
  virtual Status SetRegisterMultiple(RegisterMultipleParams* params) = 0;  // slot 3
  virtual Status GetRegisterMultiple(RegisterMultipleParams* params) = 0;  // slot 4
};

// A record shaped like RegisterControl's whose operations call the lower object of the upper
// wrapper currently calling through it. Every layer on RegisterControl embeds one.
RegisterControlRecord MakeRegisterControlAdapter();
// A record shaped like SerialBus's that forwards to an ISerialBus object.
SerialBusRecord MakeSerialBusAdapter();

class RegisterControl final : public IRegisterControl, public UpperLink<ISerialBus> {
 public:
  RegisterControl() : adapter_(MakeSerialBusAdapter()) {}
  void Init(ISerialBus* lower) {
    InitRegisterControl(&record_, &members_, &adapter_);
    lowerObject = lower;
  }

  Status SetRegister(RegisterParams* params) override { return call(record_.SetRegister, params); }
  Status GetRegister(RegisterParams* params) override { return call(record_.GetRegister, params); }
  Status ModifyRegister(ModifyRegisterParams* params) override {
    return call(record_.ModifyRegister, params);
  }
  Status SetRegisterMultiple(RegisterMultipleParams* params) override {
    return call(record_.SetRegisterMultiple, params);
  }
  Status GetRegisterMultiple(RegisterMultipleParams* params) override {
    return call(record_.GetRegisterMultiple, params);
  }

  void setTestChipAddressing(bool on) { members_.testChipAddressing = on ? 1 : 0; }
  bool testChipAddressing() const { return members_.testChipAddressing != 0; }

 private:
  template <class Params>
  Status call(Status (*operation)(Params*), Params* params) {
    return callThroughAdapter<ISerialBus>(this, record_, adapter_, operation, params);
  }

  RegisterControlRecord record_{};
  RegisterControlMembers members_;
  SerialBusRecord adapter_;
};

}  // namespace kvt::chip
