#pragma once

#include <chrono>
#include <ostream>

namespace kvt::cli {

// The progress line of `kvt-cli run` on a terminal: lines done and the time since the start,
// rewritten in place at most ten times a second and erased at the end. Silent when not shown.
class RunProgress {
 public:
  RunProgress(std::ostream& err, bool shown) : err_(err), shown_(shown) {}
  ~RunProgress() { clear(); }
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  void lineDone();
  // Erases the line (once).
  void clear();

 private:
  using Clock = std::chrono::steady_clock;
  std::ostream& err_;
  bool shown_;
  bool printed_ = false;
  long lines_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastShown_{};
};

}  // namespace kvt::cli
