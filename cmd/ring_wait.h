#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/clock.h"

// Waits on the serial port's RI (ring indicator) input. Both poll the level about every
// millisecond against a deadline on `clock`; nothing is left pending when they return. A
// level of nullopt means the line has no modem inputs (a pty): it never matches.
namespace kvt::cmd {

using RingLevelSource = std::function<std::optional<bool>()>;

// 1 when RI has `level` (true = on) within `timeoutMs`, 0 after the time-out. The level is
// looked at before the first sleep, so a level already present returns 1 at once. With a
// time-out of 0 the present state is returned (1 = on), whatever level was asked for.
// Both end early, returning 0, once `stop` (may be empty) is true.
int WaitRingLevel(const RingLevelSource& ring, platform::Clock& clock, bool level,
                  uint16_t timeoutMs, const std::function<bool()>& stop = {});

// 1 when the RI level changes within `timeoutMs`, 0 after the time-out (at once for 0).
int WaitRingEdge(const RingLevelSource& ring, platform::Clock& clock, uint16_t timeoutMs,
                 const std::function<bool()>& stop = {});

}  // namespace kvt::cmd
