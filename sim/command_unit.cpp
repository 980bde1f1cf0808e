#include "sim/command_unit.h"

#include <algorithm>

#include "chip/crc_a.h"
#include "sim/chip_names.h"

namespace kvt::sim {

namespace {
constexpr size_t kAuthenticationBlockSize = 12;
}  // namespace

void CommandUnit::raise(uint8_t requests) { registers_.setBits(reg::InterruptRequest1, requests); }

void CommandUnit::fail(uint8_t errors) {
  registers_.setBits(reg::Error, errors);
  raise(irq::Error);
}

void CommandUnit::finish() {
  command_ = cmd::Idle;
  phase_ = Phase::None;
  incoming_.clear();
  raise(irq::CommandDone);
}

void CommandUnit::reset() {
  command_ = cmd::Idle;
  phase_ = Phase::None;
  incoming_.clear();
  authenticationBlock_.clear();
}

void CommandUnit::writeCommand(uint8_t code, Nanos now) {
  phase_ = Phase::None;
  incoming_.clear();
  command_ = code & bits::CommandField;
  // Starting a command clears the error flags of the previous one (temperature stays).
  if (command_ != cmd::Idle) registers_.clearBits(reg::Error, ~err::Temperature);
  switch (command_) {
    case cmd::Idle:
    case cmd::Transceive:         // waits for the start-send bit
    case cmd::AutoAnticollision:  // a target waits for a reader; none talks to this chip
      return;
    case cmd::Configure:
      configure();
      return finish();
    case cmd::RandomId:
      randomIdentifier();
      return finish();
    case cmd::CalcCrc:
      calculateCrc();
      return finish();
    case cmd::Transmit:
      return beginTransmission(now);
    case cmd::Receive:
      phase_ = Phase::Receiving;
      multipleFrames_ = registers_.get(reg::RxMode) & bits::MultipleFrames;
      return startTimerIfAutomatic(now);
    case cmd::Authenticate:
      if (fifo_.size() != kAuthenticationBlockSize) {
        fail(err::Protocol);
        return finish();
      }
      authenticationBlock_ = fifo_.drain();
      phase_ = Phase::Authenticating;
      phaseEndsAt_ = now + kAuthenticationTime;
      return;
    case cmd::SoftReset:
      return reset();
    default:  // no such command
      command_ = cmd::Idle;
      fail(err::Protocol);
      return;
  }
}

void CommandUnit::startSend(Nanos now) {
  if (command_ == cmd::Transceive && phase_ != Phase::Transmitting) beginTransmission(now);
}

void CommandUnit::beginTransmission(Nanos now) {
  const uint8_t txMode = registers_.get(reg::TxMode);
  sending_ = buildFrame(fifo_.drain(), txMode, registers_.get(reg::BitFraming) & bits::TxLastBits);
  registers_.clearBits(reg::Control, bits::RxLastBits);
  registers_.clearBits(reg::Collision, bits::CollisionPosition);
  incoming_.clear();
  phase_ = Phase::Transmitting;
  phaseEndsAt_ = now + airTime(sending_.bitCount, txMode);
}

void CommandUnit::startTimerIfAutomatic(Nanos now) {
  const uint8_t mode = registers_.get(reg::TimerMode);
  if (!(mode & bits::TimerAutoStart)) return;
  const uint16_t prescaler = static_cast<uint16_t>(((mode & bits::TimerPrescalerHigh) << 8) |
                                                   registers_.get(reg::TimerPrescalerLow));
  const uint16_t reload = static_cast<uint16_t>((registers_.get(reg::TimerReloadHigh) << 8) |
                                                registers_.get(reg::TimerReloadLow));
  timer_.start(now, prescaler, reload, mode & bits::TimerAutoRestart);
}

void CommandUnit::endTransmission(Nanos at) {
  raise(irq::TransmitDone);
  startTimerIfAutomatic(at);
  // The cards hear the whole frame, also when the chip does not listen for the answer.
  std::vector<AirAnswer> answers = field_.exchange(sending_);
  if (command_ != cmd::Transceive) return finish();
  phase_ = Phase::Receiving;
  const uint8_t rxMode = registers_.get(reg::RxMode);
  multipleFrames_ = rxMode & bits::MultipleFrames;
  if (!multipleFrames_ && answers.size() > 1) answers.resize(1);
  for (AirAnswer& answer : answers) {
    Incoming frame;
    frame.startsAt = at + kAnswerDelay + kTimeSlot * std::max(answer.timeSlot, 0);
    frame.endsAt = frame.startsAt + airTime(answer.frame.bitCount, rxMode);
    frame.answer = std::move(answer);
    incoming_.push_back(std::move(frame));
  }
}

void CommandUnit::frameStart(Nanos at) {
  incoming_.front().started = true;
  // A single answer stops the timer as it begins; several frames are collected until the
  // timer ends the reception.
  if (!multipleFrames_) timer_.stop(at);
}

void CommandUnit::frameEnd(Nanos at) {
  const Incoming frame = std::move(incoming_.front());
  incoming_.pop_front();
  const uint8_t collision = registers_.get(reg::Collision);
  const ReceivedFrame received =
      decodeAnswer(frame.answer, registers_.get(reg::RxMode),
                   (registers_.get(reg::BitFraming) & bits::RxAlignField) >> bits::RxAlignShift,
                   collision & bits::KeepAfterCollision);
  uint8_t errors = received.errors;
  for (uint8_t byte : received.bytes) {
    if (!fifo_.push(byte)) errors |= err::FifoOverflow;
  }
  if (multipleFrames_ && !fifo_.push(errors)) errors |= err::FifoOverflow;
  if (received.collisionBit) {
    const size_t position = std::min<size_t>(*received.collisionBit, bits::CollisionPosition);
    registers_.set(reg::Collision,
                   static_cast<uint8_t>((collision & bits::KeepAfterCollision) | position));
  }
  if (!multipleFrames_) {
    registers_.set(reg::Control,
                   static_cast<uint8_t>((registers_.get(reg::Control) & ~bits::RxLastBits) |
                                        received.lastBits));
  }
  raise(irq::ReceiveDone);
  if (errors) fail(errors);
  if (!multipleFrames_) finish();
}

void CommandUnit::timerExpired(Nanos now) {
  raise(irq::Timer);
  // Only the first expiry can end a reception; the periods of a restarting timer that also
  // end by `now` raise the same request bit again, so they are skipped at once.
  timer_.expire(now);
  if (phase_ == Phase::Receiving) finish();
}

void CommandUnit::endAuthentication() {
  if (field_.authenticate(authenticationBlock_.data())) {
    registers_.setBits(reg::Status2, bits::CryptoOn);
  } else {
    fail(err::Protocol);
  }
  authenticationBlock_.clear();
  finish();
}

CommandUnit::Event CommandUnit::nextEvent(Nanos& at) const {
  Event event = Event::None;
  auto consider = [&](Event candidate, Nanos time) {
    if (event == Event::None || time < at) {
      event = candidate;
      at = time;
    }
  };
  if (phase_ == Phase::Transmitting || phase_ == Phase::Authenticating) {
    consider(Event::PhaseEnd, phaseEndsAt_);
  }
  if (phase_ == Phase::Receiving && !incoming_.empty()) {
    const Incoming& front = incoming_.front();
    if (front.started) {
      consider(Event::FrameEnd, front.endsAt);
    } else {
      consider(Event::FrameStart, front.startsAt);
    }
  }
  if (auto expiry = timer_.expiry()) consider(Event::TimerExpiry, *expiry);
  return event;
}

void CommandUnit::advanceTo(Nanos now) {
  for (;;) {
    Nanos at{0};
    const Event event = nextEvent(at);
    if (event == Event::None || at > now) return;
    switch (event) {
      case Event::PhaseEnd:
        if (phase_ == Phase::Transmitting) {
          endTransmission(at);
        } else {
          endAuthentication();
        }
        break;
      case Event::FrameStart:
        frameStart(at);
        break;
      case Event::FrameEnd:
        frameEnd(at);
        break;
      case Event::TimerExpiry:
        timerExpired(now);
        break;
      case Event::None:
        return;
    }
  }
}

void CommandUnit::configure() {
  if (fifo_.empty()) {
    for (uint8_t byte : config_) fifo_.push(byte);
  } else if (fifo_.size() == kConfigurationSize) {
    const std::vector<uint8_t> bytes = fifo_.drain();
    std::copy(bytes.begin(), bytes.end(), config_.begin());
  } else {
    fail(err::Protocol);
  }
}

void CommandUnit::randomIdentifier() {
  for (const chip::ConfigRun& run : chip::kIdentifierRuns) {
    for (size_t index = run.offset; index < size_t{run.offset} + run.count; ++index) {
      // xorshift32: deterministic, so runs of the simulator repeat exactly.
      randomState_ ^= randomState_ << 13;
      randomState_ ^= randomState_ >> 17;
      randomState_ ^= randomState_ << 5;
      config_[index] = static_cast<uint8_t>(randomState_ >> 24);
    }
  }
}

void CommandUnit::calculateCrc() {
  const std::vector<uint8_t> data = fifo_.drain();
  const uint16_t crc = chip::crcA(data.data(), data.size());
  registers_.set(reg::CrcResultLow, static_cast<uint8_t>(crc & 0xFF));
  registers_.set(reg::CrcResultHigh, static_cast<uint8_t>(crc >> 8));
}

}  // namespace kvt::sim
