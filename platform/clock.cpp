#include "platform/clock.h"

#include <thread>

namespace kvt::platform {

namespace {
std::atomic<void (*)()> waitNotice{nullptr};
}  // namespace

void SetWaitNotice(void (*notice)()) { waitNotice = notice; }

void NoticeWait() {
  if (auto notice = waitNotice.load()) notice();
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
