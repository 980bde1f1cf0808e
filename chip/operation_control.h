#pragma once

#include <cstdint>

#include "chip/component.h"
#include "chip/register_control.h"
#include "chip/register_tables.h"

namespace kvt::chip {

struct OperationControlRecord;

// One attribute request. `value1`, `value2` and the bytes at `attributeBuffer` are inputs or
// outputs depending on the attribute.
struct AttributeParams {
  uint8_t group;
  uint8_t attribute;
  uint8_t value1;
  uint8_t value2;
  uint8_t* attributeBuffer;
  OperationControlRecord* component;
};

// Attribute groups, and the attributes of each group.
namespace attribute {
constexpr uint8_t GroupVersion = 0;
constexpr uint8_t GroupProtocol = 1;  // bit rates and framing of both directions
constexpr uint8_t GroupSerialSpeed = 2;
constexpr uint8_t GroupSelfTest = 3;
constexpr uint8_t GroupSignals = 5;
constexpr uint8_t GroupTimer = 6;
constexpr uint8_t GroupCrc = 7;
constexpr uint8_t GroupConfiguration = 8;

constexpr uint8_t Version = 0;
// Protocols, by the framing they set: active communication (framing 1), target with the
// drivers off, type A reader, 212/424 kbit/s passive (framing 2), type A target rates.
constexpr uint8_t ProtocolActive = 1;
constexpr uint8_t ProtocolTarget = 2;
constexpr uint8_t ProtocolTypeA = 3;
constexpr uint8_t ProtocolPassive212 = 4;
constexpr uint8_t ProtocolTargetRates = 5;
constexpr uint8_t SerialSpeed = 1;
constexpr uint8_t SelfTest = 5;
constexpr uint8_t SignalRouting = 17;
constexpr uint8_t TimerAll = 0;  // auto start, auto restart, prescaler and reload at once
constexpr uint8_t TimerAutoStart = 1;
constexpr uint8_t TimerAutoRestart = 2;
constexpr uint8_t TimerGating = 3;
constexpr uint8_t TimerPrescaler = 4;
constexpr uint8_t TimerReload = 5;
constexpr uint8_t TimerValue = 6;
constexpr uint8_t CrcPreset = 0;
constexpr uint8_t CrcResult = 1;
constexpr uint8_t CrcMsbFirst = 2;
constexpr uint8_t CrcCalculate = 3;
constexpr uint8_t Configuration = 9;
}  // namespace attribute

// Chip version meaning "not read yet".
constexpr uint8_t kVersionUnknown = 0xB1;

struct OperationControlMembers {
  uint8_t version = kVersionUnknown;
  const RegisterSetting* tables[5] = {};
  uint8_t testLow = 0;    // self-test window: lowest sweep nibble that may lose the carrier
  uint8_t testHigh = 0;   // highest sweep nibble
  uint8_t testDrive = 0;  // drive written during the self-test
};

struct OperationControlRecord {
  Status (*SetWaitEventCallback)(WaitCallbackParams<OperationControlRecord>*);
  Status (*SetAttribute)(AttributeParams*);
  Status (*GetAttribute)(AttributeParams*);
  OperationControlMembers* members;
  void* callingObject;
  uint32_t waitContext;
  WaitCallback waitCallback;
  platform::Clock* clock;  // bounds a polled command wait in time
  RegisterControlRecord* lower;
};

// Sets an attribute: reads the chip version on first use, checks the values (0x0101 before
// any register access, except the version read and the crypto-unit clearing of group 1),
// then runs the attribute's register sequence. Read-only attributes give 0x0102.
Status SetAttribute(AttributeParams* params);
// Reads an attribute into `value1`, `value2` and `attributeBuffer`. Set-only attributes give
// 0x0102; unknown ones 0x0101.
Status GetAttribute(AttributeParams* params);
void InitOperationControl(OperationControlRecord* record, OperationControlMembers* members,
                          RegisterControlRecord* lower);

class IOperationControl {
 public:
  virtual ~IOperationControl() = default;
  virtual Status SetWaitEventCallback(WaitCallbackParams<OperationControlRecord>* params) = 0;
  virtual Status SetAttribute(AttributeParams* params) = 0;
  virtual Status GetAttribute(AttributeParams* params) = 0;
};

class OperationControl final : public IOperationControl, public UpperLink<IRegisterControl> {
 public:
  OperationControl() : adapter_(MakeRegisterControlAdapter()) {}
  void Init(IRegisterControl* lower) {
    InitOperationControl(&record_, &members_, &adapter_);
    lowerObject = lower;
  }
  // What a polled command wait measures its time limit on (default: the system clock).
  void setClock(platform::Clock* clock) { record_.clock = clock; }

  Status SetWaitEventCallback(WaitCallbackParams<OperationControlRecord>* params) override {
    return call(record_.SetWaitEventCallback, params);
  }
  Status SetAttribute(AttributeParams* params) override {
    return call(record_.SetAttribute, params);
  }
  Status GetAttribute(AttributeParams* params) override {
    return call(record_.GetAttribute, params);
  }

  // The chip version read by the first SetAttribute (kVersionUnknown before).
  uint8_t version() const { return members_.version; }

 private:
  template <class Params>
  Status call(Status (*operation)(Params*), Params* params) {
    return callThroughAdapter<IRegisterControl>(this, record_, adapter_, operation, params);
  }

  OperationControlRecord record_{};
  OperationControlMembers members_;
  RegisterControlRecord adapter_;
};

}  // namespace kvt::chip
