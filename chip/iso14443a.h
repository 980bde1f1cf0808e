#pragma once

#include <cstdint>

#include "chip/component.h"
#include "chip/iso14443a_codes.h"
#include "chip/register_control.h"
#include "chip/transceiver.h"

namespace kvt::chip {

struct Iso14443ARecord;

struct RequestParams {
  uint8_t requestCode;  // REQA 0x26 or WUPA 0x52
  uint8_t* atqa;        // 2 bytes; both 0 after a failed request
  Iso14443ARecord* component;
};

struct AnticollisionParams {
  uint8_t selectCode;      // cascade level 1 code, 0x93
  uint8_t* serial;         // 12 bytes: 4 per cascade level as the card sends them
  uint8_t knownBits;       // in/out: serial number bits known over all levels
  uint8_t sak;             // out
  uint8_t collisionFlags;  // out: bit 0 set when a collision was seen (never cleared here)
  Iso14443ARecord* component;
};

using HaltParams = FrameParamsT<Iso14443ARecord>;

struct Iso14443AMembers {
  uint8_t initiator = 1;  // 1: the chip acts as reader; 0: target mode
};

struct Iso14443ARecord {
  Status (*SetWaitEventCallback)(WaitCallbackParams<Iso14443ARecord>*);
  Status (*RequestA)(RequestParams*);
  Status (*AnticollisionSelect)(AnticollisionParams*);
  Status (*Select)(AnticollisionParams*);
  Status (*HaltA)(HaltParams*);
  Iso14443AMembers* members;
  void* callingObject;
  uint32_t waitContext;
  WaitCallback waitCallback;
  platform::Clock* clock;  // bounds a polled command wait in time
  RegisterControlRecord* lower;
};

// Sends REQA or WUPA as a 7-bit short frame and expects a 2-byte ATQA. A collision with a
// well-formed answer stays 0x0006; a malformed answer is 0x000B.
Status RequestA(RequestParams* params);
// Resolves the serial number from `knownBits` on, cascade level by cascade level, with
// bit-oriented anticollision, and selects each level; stops at a SAK without the cascade bit.
Status AnticollisionSelect(AnticollisionParams* params);
// Selects the levels whose serial bytes are all known (`knownBits` a multiple of 32).
Status Select(AnticollisionParams* params);
// Initiator: sends HLTA; silence (the card must not answer) is success. Target: a received
// HLTA hands the chip back to its automatic anticollision.
Status HaltA(HaltParams* params);
void InitIso14443A(Iso14443ARecord* record, Iso14443AMembers* members, RegisterControlRecord* lower,
                   uint8_t mode);

class IIso14443A {
 public:
  virtual ~IIso14443A() = default;
  virtual Status SetWaitEventCallback(WaitCallbackParams<Iso14443ARecord>* params) = 0;  // 0
  virtual Status RequestA(RequestParams* params) = 0;                                    // 1
  virtual Status AnticollisionSelect(AnticollisionParams* params) = 0;                   // 2
  virtual Status Select(AnticollisionParams* params) = 0;                                // 3
  virtual Status HaltA(HaltParams* params) = 0;                                          // 4
};

class Iso14443A final : public IIso14443A, public UpperLink<IRegisterControl> {
 public:
  Iso14443A() : adapter_(MakeRegisterControlAdapter()) {}
  void Init(IRegisterControl* lower, uint8_t mode) {
    InitIso14443A(&record_, &members_, &adapter_, mode);
    lowerObject = lower;
  }
  // What a polled command wait measures its time limit on (default: the system clock).
  void setClock(platform::Clock* clock) { record_.clock = clock; }

  Status SetWaitEventCallback(WaitCallbackParams<Iso14443ARecord>* params) override {
    return call(record_.SetWaitEventCallback, params);
  }
  Status RequestA(RequestParams* params) override { return call(record_.RequestA, params); }
  Status AnticollisionSelect(AnticollisionParams* params) override {
    return call(record_.AnticollisionSelect, params);
  }
  Status Select(AnticollisionParams* params) override { return call(record_.Select, params); }
  Status HaltA(HaltParams* params) override { return call(record_.HaltA, params); }

  bool initiator() const { return members_.initiator != 0; }

 private:
  template <class Params>
  Status call(Status (*operation)(Params*), Params* params) {
    return callThroughAdapter<IRegisterControl>(this, record_, adapter_, operation, params);
  }

  Iso14443ARecord record_{};
  Iso14443AMembers members_;
  RegisterControlRecord adapter_;
};

}  // namespace kvt::chip
