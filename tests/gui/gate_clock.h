#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/clock.h"

namespace kvt::test {

// A clock whose sleeps last until the test opens the gate: a script sits in SLP for as long
// as the test needs, without the test waiting for real time.
class GateClock final : public platform::Clock {
 public:
  std::chrono::microseconds now() override { return now_; }
  void sleepFor(std::chrono::microseconds duration) override {
    std::unique_lock lock(mutex_);
    ++sleepers_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    --sleepers_;
    now_ += duration;
  }
  bool sleeping() {
    std::lock_guard lock(mutex_);
    return sleepers_ > 0;
  }
  void open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int sleepers_ = 0;
  bool open_ = false;
  std::chrono::microseconds now_{0};
};

}  // namespace kvt::test
