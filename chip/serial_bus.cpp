#include "chip/serial_bus.h"

#include "chip/bit_order.h"

namespace kvt::chip {

namespace {
Status toStatus(platform::IoResult result) {
  switch (result) {
    case platform::IoResult::Ok:
      return status::Success;
    case platform::IoResult::NothingMoved:
      return status::SerialInterface;
    case platform::IoResult::Failed:
      break;
  }
  return status::WaitFailed;
}
}  // namespace

Status WriteBus(BusByteParams* params) {
  SerialBusMembers* members = params->component->members;
  // Without an open port nothing may reach any device.
  if (members->port == nullptr) return status::SerialInterface;
  const uint8_t byte = members->bitReversed ? reverseBits(params->byte) : params->byte;
  return toStatus(members->port->writeByte(byte));
}

Status WriteBusPair(BusPairParams* params) {
  SerialBusMembers* members = params->component->members;
  if (members->port == nullptr) return status::SerialInterface;
  const auto lineByte = [members](uint8_t byte) {
    return members->bitReversed ? reverseBits(byte) : byte;
  };
  const uint8_t bytes[2] = {lineByte(params->first), lineByte(params->second)};
  size_t moved = 0;
  return toStatus(members->port->writeBytes(bytes, 2, moved));
}

Status ReadBus(BusByteParams* params) {
  SerialBusMembers* members = params->component->members;
  if (members->port == nullptr) return status::SerialInterface;
  uint8_t byte = 0;
  const Status result = toStatus(members->port->readByte(byte));
  params->byte = members->bitReversed ? reverseBits(byte) : byte;
  return result;
}

void InitSerialBus(SerialBusRecord* record, SerialBusMembers* members) {
  record->WriteBus = &WriteBus;
  record->ReadBus = &ReadBus;
  record->WriteBusPair = &WriteBusPair;
  record->members = members;
  record->callingObject = nullptr;
  members->bitReversed = 0;
}

}  // namespace kvt::chip
