#include "sim/line_faults.h"

namespace kvt::sim {

FaultyLine::FaultyLine(const LineFaultOptions& options, Clock::time_point start)
    : options_(options), nextNoise_(start + std::chrono::milliseconds(options.noiseMs)) {}

void FaultyLine::answer(const std::vector<uint8_t>& bytes, bool echo, Clock::time_point now) {
  for (uint8_t byte : bytes) answerByte(byte, echo, now);
}

void FaultyLine::answerByte(uint8_t byte, bool echo, Clock::time_point readable) {
  if (options_.silentAfter && hostBytes_ > *options_.silentAfter) return;
  // The byte after which the line hangs up gets no answer: one sent in the instant before the
  // hang-up would reach the host or not by chance.
  if (closing()) return;
  ++answerBytes_;
  if (options_.dropEvery != 0 && answerBytes_ % options_.dropEvery == 0) return;
  // The lowest address bit flipped: an echo the host cannot mistake for its own byte.
  if (echo && options_.wrongEcho) byte ^= 0x01;
  pending_.emplace_back(readable + std::chrono::milliseconds(options_.lateMs), byte);
}

void FaultyLine::takeDue(Clock::time_point now, std::vector<uint8_t>& out) {
  // Answers are queued in the order they fall due.
  while (!pending_.empty() && pending_.front().first <= now) {
    out.push_back(pending_.front().second);
    pending_.pop_front();
  }
  if (options_.noiseMs == 0) return;
  while (nextNoise_ <= now) {
    // Any value may come out of a disturbed line (xorshift keeps it reproducible).
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    out.push_back(static_cast<uint8_t>(noiseState_));
    nextNoise_ += std::chrono::milliseconds(options_.noiseMs);
  }
}

std::optional<FaultyLine::Clock::time_point> FaultyLine::nextDue() const {
  std::optional<Clock::time_point> next;
  if (!pending_.empty()) next = pending_.front().first;
  if (options_.noiseMs != 0 && (!next || nextNoise_ < *next)) next = nextNoise_;
  return next;
}

}  // namespace kvt::sim
