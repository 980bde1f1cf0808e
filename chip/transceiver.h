#pragma once

#include <cstdint>

#include "chip/component.h"
#include "chip/register_control.h"

namespace kvt::chip {

struct TransceiverRecord;

struct TransceiveParams {
  const uint8_t* sendBuffer;
  uint16_t sendLength;
  uint8_t* receiveBuffer;
  uint16_t receiveLength;  // in: capacity; out: complete bytes received
  TransceiverRecord* component;
};

// One frame buffer: sent by Transmit and Authenticate, filled by Receive (`length` in: the
// capacity, out: the complete bytes received). Other components with frame operations (the
// halt of the type A layer) use the same shape on their own record.
template <class Record>
struct FrameParamsT {
  uint8_t* buffer;
  uint16_t length;
  Record* component;
};
using FrameParams = FrameParamsT<TransceiverRecord>;

struct TransceiverMembers {
  uint8_t initiator = 1;  // 1: the chip acts as reader; 0: target mode
};

struct TransceiverRecord {
  Status (*SetWaitEventCallback)(WaitCallbackParams<TransceiverRecord>*);
  Status (*Transceive)(TransceiveParams*);
  Status (*Transmit)(FrameParams*);
  Status (*Receive)(FrameParams*);
  Status (*Authenticate)(FrameParams*);
  TransceiverMembers* members;
  void* callingObject;
  uint32_t waitContext;
  WaitCallback waitCallback;
  platform::Clock* clock;  // bounds a polled command wait in time
  RegisterControlRecord* lower;
};

// Sends a frame and returns the card's answer (command transceive, start-send set). The valid
// bits of an incomplete last byte are not returned. 0x7E03 in target mode.
Status Transceive(TransceiveParams* params);
// Sends a frame without waiting for an answer. Target mode needs the chip in transceive.
Status Transmit(FrameParams* params);
// Waits for a frame; `length` becomes the number of complete bytes received.
Status Receive(FrameParams* params);
// Runs the chip's authenticate command with the 12-byte block (code, block, key, serial
// number); 0x0101 for another length, 0x0201 when the chip did not switch its crypto unit on.
Status Authenticate(FrameParams* params);
void InitTransceiver(TransceiverRecord* record, TransceiverMembers* members,
                     RegisterControlRecord* lower, uint8_t mode);

class ITransceiver {
 public:
  virtual ~ITransceiver() = default;
  virtual Status SetWaitEventCallback(WaitCallbackParams<TransceiverRecord>* params) = 0;  // 0
  virtual Status Transceive(TransceiveParams* params) = 0;                                 // 1
  virtual Status Transmit(FrameParams* params) = 0;                                        // 2
  virtual Status Receive(FrameParams* params) = 0;                                         // 3
  virtual Status Authenticate(FrameParams* params) = 0;                                    // 4
};

// A record shaped like the Transceiver's whose every slot forwards to an ITransceiver object.
TransceiverRecord MakeTransceiverAdapter();

class Transceiver final : public ITransceiver, public UpperLink<IRegisterControl> {
 public:
  Transceiver() : adapter_(MakeRegisterControlAdapter()) {}
  void Init(IRegisterControl* lower, uint8_t mode) {
    InitTransceiver(&record_, &members_, &adapter_, mode);
    lowerObject = lower;
  }
  // What a polled command wait measures its time limit on (default: the system clock).
  void setClock(platform::Clock* clock) { record_.clock = clock; }

  Status SetWaitEventCallback(WaitCallbackParams<TransceiverRecord>* params) override {
    return call(record_.SetWaitEventCallback, params);
  }
  Status Transceive(TransceiveParams* params) override { return call(record_.Transceive, params); }
  Status Transmit(FrameParams* params) override { return call(record_.Transmit, params); }
  Status Receive(FrameParams* params) override { return call(record_.Receive, params); }
  Status Authenticate(FrameParams* params) override { return call(record_.Authenticate, params); }

  bool initiator() const { return members_.initiator != 0; }

 private:
  template <class Params>
  Status call(Status (*operation)(Params*), Params* params) {
    return callThroughAdapter<IRegisterControl>(this, record_, adapter_, operation, params);
  }

  TransceiverRecord record_{};
  TransceiverMembers members_;
  RegisterControlRecord adapter_;
};

}  // namespace kvt::chip
