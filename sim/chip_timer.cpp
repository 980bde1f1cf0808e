#include "sim/chip_timer.h"

namespace kvt::sim {

namespace {
// One tick is (2 * prescaler + 1) periods of 13.56 MHz, that is (2p + 1) * 100000 / 1356 ns;
// computing with whole tick counts keeps long runs free of rounding drift.
constexpr int64_t kNanosNumerator = 100000;
constexpr int64_t kNanosDenominator = 1356;

int64_t cyclesPerTick(uint16_t prescaler) { return 2 * int64_t{prescaler} + 1; }
}  // namespace

ChipTimer::Nanos ChipTimer::ticksToTime(uint64_t ticks, uint16_t prescaler) {
  const int64_t cycles = static_cast<int64_t>(ticks) * cyclesPerTick(prescaler);
  return Nanos(cycles * kNanosNumerator / kNanosDenominator);
}

void ChipTimer::start(Nanos now, uint16_t prescaler, uint16_t reload, bool autoRestart) {
  running_ = true;
  startedAt_ = now;
  prescaler_ = prescaler & 0x0FFF;
  reload_ = reload;
  autoRestart_ = autoRestart;
}

void ChipTimer::stop(Nanos now) {
  if (!running_) return;
  stoppedValue_ = value(now);
  running_ = false;
}

ChipTimer::Nanos ChipTimer::period() const {
  return ticksToTime(uint64_t{reload_} + 1, prescaler_);
}

std::optional<ChipTimer::Nanos> ChipTimer::expiry() const {
  if (!running_) return std::nullopt;
  return startedAt_ + period();
}

void ChipTimer::expire(Nanos now) {
  if (!running_) return;
  if (autoRestart_) {
    startedAt_ += period();
    if (startedAt_ + period() <= now) startedAt_ += ((now - startedAt_) / period()) * period();
    return;
  }
  running_ = false;
  stoppedValue_ = 0;
}

uint64_t ChipTimer::ticksSince(Nanos now) const {
  const int64_t elapsed = (now - startedAt_).count();
  if (elapsed <= 0) return 0;
  // The largest tick count whose ticksToTime() has passed: the inverse of its rounding.
  return static_cast<uint64_t>(((elapsed + 1) * kNanosDenominator - 1) /
                               (cyclesPerTick(prescaler_) * kNanosNumerator));
}

uint16_t ChipTimer::value(Nanos now) const {
  if (!running_) return stoppedValue_;
  const uint64_t ticks = ticksSince(now);
  return ticks >= reload_ ? 0 : static_cast<uint16_t>(reload_ - ticks);
}

}  // namespace kvt::sim
