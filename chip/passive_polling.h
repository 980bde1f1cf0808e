#pragma once

#include <cstdint>

#include "chip/component.h"
#include "chip/register_control.h"

namespace kvt::chip {

struct PassivePollingRecord;

struct PollingParams {
  const uint8_t* request;   // 4 bytes: system code (2), request code, time slot number
  uint16_t requestLength;   // must be 4
  uint8_t* response;        // answers; also holds the request frame while it is sent
  uint16_t responseLength;  // in: capacity, at least 21; out: answer bytes delivered
  PassivePollingRecord* component;
};

struct PassivePollingMembers {
  uint8_t initiator = 1;  // 1: the chip acts as reader; 0: target mode
};

struct PassivePollingRecord {
  Status (*SetWaitEventCallback)(WaitCallbackParams<PassivePollingRecord>*);
  Status (*Poll)(PollingParams*);
  PassivePollingMembers* members;
  void* callingObject;
  uint32_t waitContext;
  WaitCallback waitCallback;
  platform::Clock* clock;  // bounds a polled command wait in time
  RegisterControlRecord* lower;
};

// Initiator: sends the polling request and collects every answer frame that arrives before
// the chip's timer expires, each kept with its length byte and packed to the front of
// `response`; frames the chip flagged as damaged are dropped. 0x000B for a malformed length
// byte, the engine's status when nothing was delivered (0x0001: nobody answered).
// Target: hands the chip over to its automatic anticollision.
Status Poll(PollingParams* params);
void InitPassivePolling(PassivePollingRecord* record, PassivePollingMembers* members,
                        RegisterControlRecord* lower, uint8_t mode);

class IPassivePolling {
 public:
  virtual ~IPassivePolling() = default;
  virtual Status SetWaitEventCallback(WaitCallbackParams<PassivePollingRecord>* params) = 0;
  virtual Status Poll(PollingParams* params) = 0;
};

class PassivePolling final : public IPassivePolling, public UpperLink<IRegisterControl> {
 public:
  PassivePolling() : adapter_(MakeRegisterControlAdapter()) {}
  void Init(IRegisterControl* lower, uint8_t mode) {
    InitPassivePolling(&record_, &members_, &adapter_, mode);
    lowerObject = lower;
  }
  // What a polled command wait measures its time limit on (default: the system clock).
  void setClock(platform::Clock* clock) { record_.clock = clock; }

  Status SetWaitEventCallback(WaitCallbackParams<PassivePollingRecord>* params) override {
    return call(record_.SetWaitEventCallback, params);
  }
  Status Poll(PollingParams* params) override { return call(record_.Poll, params); }

  bool initiator() const { return members_.initiator != 0; }

 private:
  template <class Params>
  Status call(Status (*operation)(Params*), Params* params) {
    return callThroughAdapter<IRegisterControl>(this, record_, adapter_, operation, params);
  }

  PassivePollingRecord record_{};
  PassivePollingMembers members_;
  RegisterControlRecord adapter_;
};

}  // namespace kvt::chip
