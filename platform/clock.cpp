#include "platform/clock.h"

#include <array>
#include <atomic>
#include <thread>

namespace kvt::platform {

namespace {
std::atomic<void (*)()> waitNotice{nullptr};
std::array<std::atomic<void (*)()>, 4> furtherNotices{};
}  // namespace

void SetWaitNotice(void (*notice)()) { waitNotice = notice; }

void AddWaitNotice(void (*notice)()) {
  for (auto& slot : furtherNotices) {
    void (*empty)() = nullptr;
    if (slot.compare_exchange_strong(empty, notice) || empty == notice) return;
  }
}

void NoticeWait() {
  if (auto notice = waitNotice.load()) notice();
  for (auto& slot : furtherNotices) {
    if (auto notice = slot.load()) notice();
  }
}

std::chrono::microseconds SystemClock::now() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::sleepFor(std::chrono::microseconds duration) {
  NoticeWait();
  std::this_thread::sleep_for(duration);
}

SystemClock& SystemClock::instance() {
  static SystemClock clock;
  return clock;
}

}  // namespace kvt::platform
