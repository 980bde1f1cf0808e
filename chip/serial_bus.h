#pragma once

#include <cstdint>

#include "chip/component.h"
#include "platform/serial_port.h"

namespace kvt::chip {

struct SerialBusRecord;

struct BusByteParams {
  uint8_t byte;  // in: the byte to write; out: the byte read
  SerialBusRecord* component;
};

// Two bytes that leave back to back, in one write where the port allows (a register write's
// address and data bytes).
struct BusPairParams {
  uint8_t first;
  uint8_t second;
  SerialBusRecord* component;
};

struct SerialBusMembers {
  platform::SerialPort* port = nullptr;  // the open port; null while none is open
  uint8_t bitReversed = 0;               // mirror every byte on the line (test chip)
};

struct SerialBusRecord {
  Status (*WriteBus)(BusByteParams*);
  Status (*ReadBus)(BusByteParams*);
  Status (*WriteBusPair)(BusPairParams*);
  SerialBusMembers* members;
  void* callingObject;
};

// Moves one byte to or from the chip. 0x0104 when no byte moved (read time-out, no port open,
// a write the driver refused); 0x7E03 once the port is lost, at once and without waiting.
Status WriteBus(BusByteParams* params);
Status ReadBus(BusByteParams* params);
// Both bytes, or the status of the first that did not move.
Status WriteBusPair(BusPairParams* params);
void InitSerialBus(SerialBusRecord* record, SerialBusMembers* members);

class ISerialBus {
 public:
  virtual ~ISerialBus() = default;
  virtual Status WriteBus(BusByteParams* params) = 0;      // slot 0
  virtual Status ReadBus(BusByteParams* params) = 0;       // slot 1
  virtual Status WriteBusPair(BusPairParams* params) = 0;  // slot 2
};

class SerialBus final : public ISerialBus {
 public:
  SerialBus() { InitSerialBus(&record_, &members_); }
  Status WriteBus(BusByteParams* params) override {
    return callOnRecord(record_, record_.WriteBus, params);
  }
  Status ReadBus(BusByteParams* params) override {
    return callOnRecord(record_, record_.ReadBus, params);
  }
  Status WriteBusPair(BusPairParams* params) override {
    return callOnRecord(record_, record_.WriteBusPair, params);
  }

  // Serial port management hands the open port over here (null when closed).
  void setPort(platform::SerialPort* port) { members_.port = port; }
  platform::SerialPort* port() const { return members_.port; }
  void setBitReversed(bool on) { members_.bitReversed = on ? 1 : 0; }
  bool bitReversed() const { return members_.bitReversed != 0; }

 private:
  SerialBusRecord record_;
  SerialBusMembers members_;
};

}  // namespace kvt::chip
