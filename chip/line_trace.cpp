#include "chip/line_trace.h"

#include <utility>

#include "chip/address_byte.h"

namespace kvt::chip {

namespace {

std::string hex(uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

constexpr std::size_t kOutcomeColumn = 22;  // where the decoded access starts on its line

}  // namespace

LineTrace::LineTrace(Sink sink, platform::Clock& clock)
    : sink_(std::move(sink)), clock_(clock), start_(clock.now()) {}

LineTrace::~LineTrace() {
  if (state_ != State::Idle) finish("(unfinished)");
}

std::string LineTrace::stamp() {
  char text[24];
  std::snprintf(text, sizeof text, "%12lld",
                static_cast<long long>((clock_.now() - start_).count()));
  return text;
}

void LineTrace::byteLine(char direction, uint8_t byte) {
  pending_ += stamp() + ' ' + direction + ' ' + hex(byte) + '\n';
}

void LineTrace::eventLine(std::string_view what) {
  pending_ += stamp() + ' ' + std::string(what) + '\n';
}

std::string LineTrace::access() const {
  switch (state_) {
    case State::ReadSent:
      return "R " + hex(address_);
    case State::WriteAddressSent:
      return "W " + hex(address_);
    case State::WriteDataSent:
      return "W " + hex(address_) + ' ' + hex(data_);
    case State::Idle:
      break;
  }
  return {};
}

void LineTrace::finish(const std::string& outcome) {
  if (!pending_.empty() && pending_.back() == '\n') pending_.pop_back();
  const std::size_t lineStart = pending_.rfind('\n') + 1;  // npos + 1 is 0
  const std::size_t length = pending_.size() - lineStart;
  pending_.append(length < kOutcomeColumn ? kOutcomeColumn - length : 1, ' ');
  pending_ += outcome + '\n';
  state_ = State::Idle;
  if (sink_) sink_(pending_);
  pending_.clear();
}

void LineTrace::hostByte(uint8_t byte) {
  // A new address byte while an access waits for its answer: that answer never came.
  if (state_ == State::ReadSent) finish(access() + " -> no answer");
  if (state_ == State::WriteDataSent) finish(access() + " -> no echo");
  byteLine('>', byte);
  if (state_ == State::WriteAddressSent) {
    data_ = byte;
    state_ = State::WriteDataSent;
    return;
  }
  address_ = byte & kAddressBits;
  state_ = (byte & kReadFlag) != 0 ? State::ReadSent : State::WriteAddressSent;
}

void LineTrace::chipByte(uint8_t byte) {
  byteLine('<', byte);
  switch (state_) {
    case State::ReadSent:
      finish(access() + " -> " + hex(byte));
      return;
    case State::WriteDataSent:
      finish(access() + " -> echo " + hex(byte) +
             (byte == address_ ? std::string() : ", not " + hex(address_)));
      return;
    default:
      finish((state_ == State::Idle ? std::string() : access() + ": ") + "unexpected byte");
  }
}

void LineTrace::noAnswer() {
  eventLine("  ---");
  const char* missing = state_ == State::ReadSent        ? " -> no answer"
                        : state_ == State::WriteDataSent ? " -> no echo"
                        : state_ == State::Idle          ? "no byte"
                                                         : " -> no data";
  finish(access() + missing);
}

void LineTrace::lost() {
  eventLine("  ---");
  finish(state_ == State::Idle ? "port lost" : access() + " -> port lost");
}

void LineTrace::note(std::string_view text) {
  if (state_ != State::Idle) finish(access() + " -> unfinished");
  eventLine(text);
  if (sink_) sink_(pending_);
  pending_.clear();
}

LineTrace::Sink FileSink(std::FILE* file) {
  if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  return [file](std::string_view text) {
    if (file != nullptr) std::fwrite(text.data(), 1, text.size(), file);
  };
}

}  // namespace kvt::chip
