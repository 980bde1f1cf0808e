#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "platform/wait_notice.h"

namespace kvt::platform {

// Time source and sleeper. Everything that waits (SLP, WIL, WIE, the read time-out of the
// simulated port) goes through one of these, so tests advance time instead of sleeping.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::microseconds now() = 0;  // monotonic
  virtual void sleepFor(std::chrono::microseconds duration) = 0;
};

// The real monotonic clock; sleeping tells the wait notice first.
class SystemClock final : public Clock {
 public:
  std::chrono::microseconds now() override;
  void sleepFor(std::chrono::microseconds duration) override;
  static SystemClock& instance();
};

// A clock that only moves when told to: sleeping advances it at once.
class ManualClock final : public Clock {
 public:
  std::chrono::microseconds now() override { return std::chrono::microseconds(now_.load()); }
  void sleepFor(std::chrono::microseconds duration) override { advance(duration); }
  void advance(std::chrono::microseconds duration) { now_ += duration.count(); }

 private:
  std::atomic<int64_t> now_{0};  // a script runner thread may sleep while a test reads
};

}  // namespace kvt::platform
