#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "chip/status.h"

// The chip's line rate over one kvt-cli run: the chip keeps its rate across runs (a real chip
// until it is powered off), so a run finds out at which rate it answers and leaves it there.
namespace kvt::cli {

// Reads the chip's serial speed register at 9600 bit/s; when that read gets no answer, tries
// once more at 115200 and, answered, leaves the PC side there. The rate the chip answered at,
// or 0 when it answered at neither (the PC side is then back at 9600).
uint32_t DetectChipRate(const app::DialogContext& context);

// Switches a chip the run moved to 115200 bit/s back to 9600 (chip first, then the PC side)
// when it was found at 9600. Returns the failing status, or 0 when nothing had to be done or the
// switch worked.
chip::Status RestoreChipRate(const app::DialogContext& context, uint32_t foundRate);

}  // namespace kvt::cli
