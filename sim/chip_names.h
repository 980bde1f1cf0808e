#pragma once

#include "chip/registers.h"

// The register map's names as the simulated chip uses them: the same facts as the host stack's.
namespace kvt::sim {
namespace reg = chip::reg;
namespace irq = chip::irq;
namespace err = chip::err;
namespace bits = chip::bits;
namespace cmd = chip::cmd;
}  // namespace kvt::sim
