#pragma once

#include <atomic>
#include <cstdint>

namespace kvt::cli {

// SIGINT (Ctrl-C) and SIGTERM while kvt-cli works on the chip. Ending the program in the middle
// of an access would leave a chip switched to 115200 bit/s there and a card image half made, so
// while an object lives the first of them only asks the work to stop: the wait in progress
// (SLP, WIE, WIL) ends, a run stops before its next line as the Break button stops it, card
// steps and image copies stop before their next step, and the program then ends in order. A
// second SIGINT or SIGTERM ends the program at once. One object at a time.
class StopSignals {
 public:
  // `breakFlag` (may be null) is cleared by the first signal, as the Break button clears
  // scriptRunning.
  explicit StopSignals(std::atomic<uint8_t>* breakFlag);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // True once a stop was asked for while the object lives.
  static bool requested();
  // The signal that asked first (SIGINT or SIGTERM); 0 when none came.
  static int signal();
  // 1 until a stop is asked for, then 0: what SLP, WIE and WIL look at to end early.
  static const std::atomic<uint8_t>* keepWaiting();
};

}  // namespace kvt::cli
