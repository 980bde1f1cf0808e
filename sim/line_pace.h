#pragma once

#include <chrono>
#include <cstdint>

// When the bytes between the host and kvt-sim's chip would arrive on a real line. A pty moves
// bytes at once; with --pace each byte takes its 10 bit times (start bit, 8 data bits, stop bit)
// at the rate of the moment, one after the other in each direction, and with --latency a USB
// adapter's delay before the host gets to read an answer is added. Pure arithmetic on time
// points: the server asks, then sends and advances the chip's clock accordingly.
namespace kvt::sim {

class LinePace {
 public:
  using Clock = std::chrono::steady_clock;

  LinePace(bool paced, std::chrono::milliseconds latency, Clock::time_point start)
      : paced_(paced), latency_(latency), hostLineFree_(start), chipLineFree_(start) {}

  // One byte at `rate` bit/s (0: 9600).
  static Clock::duration byteTime(uint32_t rate);

  bool paced() const { return paced_; }
  // When a byte that the host wrote by `now` has wholly reached the chip: after the host's
  // earlier bytes, one byte time on the line. `now` itself when not paced.
  Clock::time_point hostByte(Clock::time_point now, uint32_t rate);
  // When the chip has sent an answer byte it has ready at `ready`: after its earlier answer
  // bytes, one byte time on the line. `ready` itself when not paced.
  Clock::time_point chipByte(Clock::time_point ready, uint32_t rate);
  // When the host can read a byte that has left the chip at `sent`.
  Clock::time_point readable(Clock::time_point sent) const { return sent + latency_; }

 private:
  bool paced_;
  Clock::duration latency_;
  Clock::time_point hostLineFree_;  // when the host's last byte has arrived
  Clock::time_point chipLineFree_;  // when the chip's last byte has gone out
};

}  // namespace kvt::sim
