#pragma once

#include <cstdint>

#include "chip/operation_control.h"
#include "chip/register_sequence.h"

// The longer register sequences behind some attributes of OperationControl.
namespace kvt::chip {

// RF self-test: sweeps the drive level and watches the RF level detector. `result` becomes
// 0 when the chip passed and 0xFF when it failed. The registers it changes are restored also
// after a failing access; the first failing access is returned.
Status RunRfSelfTest(RegisterSequence& seq, const OperationControlMembers& members,
                     uint8_t& result);

// Routes the chip's SIGIN/SIGOUT signals; `value1` 0..1 and `value2` 0..2 are checked by the
// caller.
Status RouteSignals(RegisterSequence& seq, uint8_t value1, uint8_t value2);

// Reads the 25-byte configuration buffer with the configure command; 0x7E01 when the chip
// delivers fewer bytes.
Status ReadConfigurationBuffer(const OperationControlRecord* self, uint8_t* buffer);
// Stores the 25 bytes with the configure command.
Status WriteConfigurationBuffer(const OperationControlRecord* self, const uint8_t* buffer);
// Lets the chip draw new random identifiers into the buffer.
Status RandomizeIdentifiers(const OperationControlRecord* self);

}  // namespace kvt::chip
