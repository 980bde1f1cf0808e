#include "sim/line_pace.h"

#include <algorithm>

namespace kvt::sim {

LinePace::Clock::duration LinePace::byteTime(uint32_t rate) {
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::nanoseconds(10'000'000'000LL / (rate != 0 ? rate : 9600)));
}

LinePace::Clock::time_point LinePace::hostByte(Clock::time_point now, uint32_t rate) {
  if (!paced_) return now;
  hostLineFree_ = std::max(now, hostLineFree_) + byteTime(rate);
  return hostLineFree_;
}

LinePace::Clock::time_point LinePace::chipByte(Clock::time_point ready, uint32_t rate) {
  if (!paced_) return ready;
  chipLineFree_ = std::max(ready, chipLineFree_) + byteTime(rate);
  return chipLineFree_;
}

}  // namespace kvt::sim
