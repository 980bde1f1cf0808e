#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

// Faults of the line itself between kvt-sim's chip and the host, for tests and for users who
// want to see how their scripts behave on a bad line. Each is off unless asked for.
namespace kvt::sim {

struct LineFaultOptions {
  std::optional<uint64_t> silentAfter;  // --line-silent-after N: no answer after N host bytes
  bool wrongEcho = false;               // --line-wrong-echo: every write is echoed wrongly
  uint32_t dropEvery = 0;               // --line-drop-every N: every Nth answer byte is lost
  uint32_t lateMs = 0;                  // --line-late MS: every answer byte comes MS ms late
  uint32_t noiseMs = 0;                 // --line-noise MS: an unsolicited byte every MS ms
  std::optional<uint64_t> closeAfter;   // --line-close-after N: hang up after N host bytes
};

// What kvt-sim's line does to the chip's bytes. The server counts each host byte, hands over
// each answer, and sends what falls due; nothing here touches a file descriptor.
class FaultyLine {
 public:
  using Clock = std::chrono::steady_clock;

  FaultyLine(const LineFaultOptions& options, Clock::time_point start);

  // Counts one byte from the host.
  void hostByte() { ++hostBytes_; }
  // True once the host has sent the bytes after which the line hangs up (--line-close-after).
  bool closing() const { return options_.closeAfter && hostBytes_ >= *options_.closeAfter; }
  // The chip's answer to the host's last byte; `echo` when it is a write's echo.
  void answer(const std::vector<uint8_t>& bytes, bool echo, Clock::time_point now);
  // One byte of such an answer, which the host could read at `readable` on a sound line.
  void answerByte(uint8_t byte, bool echo, Clock::time_point readable);
  // Appends every byte due by `now` (answers and noise) to `out`, in order.
  void takeDue(Clock::time_point now, std::vector<uint8_t>& out);
  // When the next byte falls due; nullopt while none will.
  std::optional<Clock::time_point> nextDue() const;

 private:
  LineFaultOptions options_;
  std::deque<std::pair<Clock::time_point, uint8_t>> pending_;
  uint64_t hostBytes_ = 0;
  uint64_t answerBytes_ = 0;
  Clock::time_point nextNoise_;
  uint32_t noiseState_ = 0x2545F491u;
};

}  // namespace kvt::sim
