#include "cli/stop_signals.h"

#include <signal.h>

namespace kvt::cli {

namespace {

std::atomic<uint8_t> keepWaitingFlag{1};
std::atomic<int> firstSignal{0};
std::atomic<uint8_t>* breakTarget = nullptr;
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void askToStop(int number) {
  int none = 0;
  firstSignal.compare_exchange_strong(none, number);
  keepWaitingFlag.store(0);
  if (breakTarget != nullptr) breakTarget->store(0);
  // Whichever comes next ends the program at once.
  struct sigaction fallBack {};
  fallBack.sa_handler = SIG_DFL;
  sigaction(SIGINT, &fallBack, nullptr);
  sigaction(SIGTERM, &fallBack, nullptr);
}

}  // namespace

StopSignals::StopSignals(std::atomic<uint8_t>* breakFlag) {
  static_assert(std::atomic<uint8_t>::is_always_lock_free, "set from a signal handler");
  static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
  keepWaitingFlag = 1;
  firstSignal = 0;
  breakTarget = breakFlag;
  struct sigaction action {};
  action.sa_handler = askToStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousInterrupt);
  sigaction(SIGTERM, &action, &previousTerminate);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &previousInterrupt, nullptr);
  sigaction(SIGTERM, &previousTerminate, nullptr);
  breakTarget = nullptr;
  // Whatever runs later waits and works as without a stop.
  keepWaitingFlag = 1;
  firstSignal = 0;
}

bool StopSignals::requested() { return firstSignal.load() != 0; }

int StopSignals::signal() { return firstSignal.load(); }

const std::atomic<uint8_t>* StopSignals::keepWaiting() { return &keepWaitingFlag; }

}  // namespace kvt::cli
