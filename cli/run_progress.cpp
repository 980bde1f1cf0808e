#include "cli/run_progress.h"

#include <cstdio>

namespace kvt::cli {

namespace {
// Carriage return, then erase to the end of the line.
constexpr const char* kEraseLine = "\r\033[K";
constexpr auto kInterval = std::chrono::milliseconds(100);
}  // namespace

void RunProgress::lineDone() {
  ++lines_;
  if (!shown_) return;
  const Clock::time_point now = Clock::now();
  if (printed_ && now - lastShown_ < kInterval) return;
  lastShown_ = now;
  printed_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  char text[64];
  std::snprintf(text, sizeof text, "kvt-cli: lines done: %ld, %.1f s", lines_, seconds);
  err_ << kEraseLine << text << std::flush;
}

void RunProgress::clear() {
  if (!printed_) return;
  err_ << kEraseLine << std::flush;
  printed_ = false;
}

}  // namespace kvt::cli
