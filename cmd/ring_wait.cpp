#include "cmd/ring_wait.h"

#include <chrono>

namespace kvt::cmd {

namespace {

constexpr std::chrono::milliseconds kPollInterval{1};

// Whole milliseconds since `start`.
int64_t elapsedMs(platform::Clock& clock, std::chrono::microseconds start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(clock.now() - start).count();
}

}  // namespace

int WaitRingLevel(const RingLevelSource& ring, platform::Clock& clock, bool level,
                  uint16_t timeoutMs, const std::function<bool()>& stop) {
  const auto start = clock.now();
  for (;;) {
    const std::optional<bool> on = ring();
    if (timeoutMs == 0) return on.value_or(false) ? 1 : 0;
    if (on.has_value() && *on == level) return 1;
    clock.sleepFor(kPollInterval);
    if (elapsedMs(clock, start) > timeoutMs || (stop && stop())) return 0;
  }
}

int WaitRingEdge(const RingLevelSource& ring, platform::Clock& clock, uint16_t timeoutMs,
                 const std::function<bool()>& stop) {
  const auto start = clock.now();
  std::optional<bool> before = ring();
  if (timeoutMs == 0) return 0;
  for (;;) {
    clock.sleepFor(kPollInterval);
    const std::optional<bool> now = ring();
    if (before.has_value() && now.has_value() && *now != *before) return 1;
    if (!before.has_value()) before = now;  // the first level seen is the one to leave
    if (elapsedMs(clock, start) > timeoutMs || (stop && stop())) return 0;
  }
}

}  // namespace kvt::cmd
