#include "sim/simulated_port.h"

#include <utility>

namespace kvt::sim {

using platform::IoResult;

SimulatedPort::SimulatedPort(Kv380& chip, platform::Clock* clock)
    : chip_(chip), host_(chip), clock_(clock) {
  if (clock_ != nullptr) clockMark_ = clock_->now();
}

void SimulatedPort::followClock(bool runChip) {
  if (clock_ == nullptr) return;
  const std::chrono::microseconds now = clock_->now();
  if (runChip && now > clockMark_) chip_.advanceTime(now - clockMark_);
  clockMark_ = now;
}

std::chrono::nanoseconds SimulatedPort::byteTime() const {
  // 8N1: start bit, 8 data bits, stop bit.
  return std::chrono::nanoseconds(10'000'000'000LL / (hostRate_ ? hostRate_ : 9600));
}

void SimulatedPort::receiveLocked(uint8_t byte) {
  if (tracing_) trace_.push_back({true, byte});
  chip_.advanceTime(byteTime());
  answer_.clear();
  host_.receive(byte, hostRate_, answer_);
  toHost_.insert(toHost_.end(), answer_.begin(), answer_.end());
}

IoResult SimulatedPort::writeByte(uint8_t byte) {
  std::lock_guard lock(mutex_);
  if (lost_) return IoResult::Failed;
  followClock(false);
  receiveLocked(byte);
  return IoResult::Ok;
}

IoResult SimulatedPort::writeBytes(const uint8_t* bytes, size_t count, size_t& moved) {
  std::lock_guard lock(mutex_);
  moved = 0;
  if (lost_) return IoResult::Failed;
  followClock(false);
  for (; moved < count; ++moved) receiveLocked(bytes[moved]);
  return IoResult::Ok;
}

IoResult SimulatedPort::readByte(uint8_t& byte) {
  std::lock_guard lock(mutex_);
  if (lost_) return IoResult::Failed;
  followClock(false);
  if (toHost_.empty()) {
    chip_.advanceTime(kReadTimeout);
    return IoResult::NothingMoved;
  }
  byte = toHost_.front();
  toHost_.pop_front();
  if (tracing_) trace_.push_back({false, byte});
  chip_.advanceTime(byteTime());
  return IoResult::Ok;
}

bool SimulatedPort::setLineSettings(uint32_t rate) {
  std::lock_guard lock(mutex_);
  if (rate == 0) return false;
  hostRate_ = rate;
  return true;
}

void SimulatedPort::purge() {
  std::lock_guard lock(mutex_);
  toHost_.clear();
}

std::optional<bool> SimulatedPort::ringIndicator() {
  std::lock_guard lock(mutex_);
  if (lost_) return std::nullopt;
  followClock(true);
  return chip_.interruptOutput();
}

bool SimulatedPort::lost() const {
  std::lock_guard lock(mutex_);
  return lost_;
}

void SimulatedPort::disconnect() {
  std::lock_guard lock(mutex_);
  lost_ = true;
  toHost_.clear();
}

void SimulatedPort::setTracing(bool on) {
  std::lock_guard lock(mutex_);
  tracing_ = on;
  if (!on) trace_.clear();
}

std::vector<SimulatedPort::TraceEntry> SimulatedPort::takeTrace() {
  std::lock_guard lock(mutex_);
  return std::exchange(trace_, {});
}

}  // namespace kvt::sim
