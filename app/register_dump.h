#pragma once

#include "app/app_state.h"
#include "chip/status.h"

namespace kvt::app {

// Appends the chip's 64 registers to the log as four rows of 16 ("P0" .. "P3") under a
// header. The FIFO data register is never read (a read would take a byte out of the FIFO) and
// shows "xx". A failing probe of register 0x00 is reported and the dump goes on; the first
// failing read of a row ends the dump without that row. Holds the chip lock throughout.
// Returns the first failing status (the probe's included), or 0 when every read worked.
chip::Status DumpRegisters(const DialogContext& context);

}  // namespace kvt::app
