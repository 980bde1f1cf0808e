#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace kvt::sim {

// The chip's count-down timer. It runs from the 13.56 MHz carrier clock divided by
// (2 * prescaler + 1): with the prescaler 0x2A5 the tool uses, one tick lasts about 100 us.
// Started, it counts from the reload value down to 0 and expires one tick later, after
// (reload + 1) ticks; with automatic restart it then starts again from the reload value,
// otherwise it stops at 0. The current count is what the timer value registers show.
class ChipTimer {
 public:
  using Nanos = std::chrono::nanoseconds;

  // Duration of `ticks` ticks with a 12-bit prescaler.
  static Nanos ticksToTime(uint64_t ticks, uint16_t prescaler);

  void start(Nanos now, uint16_t prescaler, uint16_t reload, bool autoRestart);
  // Stops the count where it is; the value stays readable.
  void stop(Nanos now);
  bool running() const { return running_; }
  // When the running timer expires; nullopt while stopped.
  std::optional<Nanos> expiry() const;
  // Called once `expiry()` has passed: stops at 0, or restarts from the reload value. A
  // restarting timer skips the further periods that also end by `now`.
  void expire(Nanos now);
  // The count at `now`.
  uint16_t value(Nanos now) const;

 private:
  uint64_t ticksSince(Nanos now) const;
  Nanos period() const;

  bool running_ = false;
  bool autoRestart_ = false;
  Nanos startedAt_{0};
  uint16_t prescaler_ = 0;
  uint16_t reload_ = 0;
  uint16_t stoppedValue_ = 0;
};

}  // namespace kvt::sim
