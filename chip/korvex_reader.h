#pragma once

#include <cstdint>

#include "chip/component.h"
#include "chip/korvex_commands.h"
#include "chip/transceiver.h"

namespace kvt::chip {

struct KorvexReaderRecord;

// What an exchange accepts as the card's answer.
namespace answerFlag {
constexpr uint8_t Silence = 0x01;  // a timeout counts as success
constexpr uint8_t Ack = 0x02;      // a 4-bit acknowledgement is expected
constexpr uint8_t Data = 0x04;     // data bytes are expected
}  // namespace answerFlag

struct KorvexCommandParams {
  uint8_t command;     // Korvex command code; 0 = no header (the data phase of a write)
  uint8_t address;     // block or page
  uint8_t* data;       // data to send, or where the answer goes
  uint8_t dataLength;  // in: bytes to send or 0; out: bytes received or 0
  uint8_t answerFlags;
  KorvexReaderRecord* component;
};

struct KorvexReaderMembers {
  uint8_t* scratch = nullptr;  // at least 32 bytes, owned by the application
};

struct KorvexReaderRecord {
  Status (*Exchange)(KorvexCommandParams*);
  Status (*TwoPhaseExchange)(KorvexCommandParams*);
  Status (*KorvexCommand)(KorvexCommandParams*);
  KorvexReaderMembers* members;
  void* callingObject;
  TransceiverRecord* lower;  // only Transceive and Authenticate are used
};

// One frame (header and/or data) out, one answer checked against `answerFlags`: data, an
// ACK/NAK nibble (0 for ACK, 0x0203 for NAK, 0x0105 for anything else) or silence.
Status Exchange(KorvexCommandParams* params);
// Header with ACK, then the data frame with the caller's answer flags; `dataLength` ends 0.
Status TwoPhaseExchange(KorvexCommandParams* params);
// The Korvex command set: checks `dataLength`, sets `answerFlags` and runs the phases.
Status KorvexCommand(KorvexCommandParams* params);
void InitKorvexReader(KorvexReaderRecord* record, KorvexReaderMembers* members,
                      TransceiverRecord* lower, uint8_t* scratch);

class IKorvexReader {
 public:
  virtual ~IKorvexReader() = default;
  virtual Status Exchange(KorvexCommandParams* params) = 0;          // slot 0
  virtual Status TwoPhaseExchange(KorvexCommandParams* params) = 0;  // slot 1
  virtual Status KorvexCommand(KorvexCommandParams* params) = 0;     // slot 2
};

class KorvexReader final : public IKorvexReader, public UpperLink<ITransceiver> {
 public:
  KorvexReader() : adapter_(MakeTransceiverAdapter()) {}
  void Init(ITransceiver* lower, uint8_t* scratch) {
    InitKorvexReader(&record_, &members_, &adapter_, scratch);
    lowerObject = lower;
  }

  Status Exchange(KorvexCommandParams* params) override { return call(record_.Exchange, params); }
  Status TwoPhaseExchange(KorvexCommandParams* params) override {
    return call(record_.TwoPhaseExchange, params);
  }
  Status KorvexCommand(KorvexCommandParams* params) override {
    return call(record_.KorvexCommand, params);
  }

 private:
  Status call(Status (*operation)(KorvexCommandParams*), KorvexCommandParams* params) {
    return callThroughAdapter<ITransceiver>(this, record_, adapter_, operation, params);
  }

  KorvexReaderRecord record_{};
  KorvexReaderMembers members_;
  TransceiverRecord adapter_;
};

}  // namespace kvt::chip
