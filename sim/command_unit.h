#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "chip/configuration_layout.h"
#include "sim/chip_timer.h"
#include "sim/fifo.h"
#include "sim/register_file.h"
#include "sim/rf_field.h"
#include "sim/rf_frontend.h"

namespace kvt::sim {

// Runs the chip's commands in virtual time: takes the FIFO, puts frames on the air through
// the RF field, schedules the answers and the timer, and raises the interrupt requests and
// error bits a real chip would. Kv380 routes the command register, the start-send bit and
// the passing of time here; the soft reset is Kv380's own.
class CommandUnit {
 public:
  static constexpr size_t kConfigurationSize = chip::kConfigurationSize;
  // The chip's own authentication exchange (four short frames and the card's answers).
  static constexpr Nanos kAuthenticationTime{1'000'000};

  CommandUnit(RegisterFile& registers, Fifo& fifo, ChipTimer& timer, RfField& field)
      : registers_(registers), fifo_(fifo), timer_(timer), field_(field) {}

  // The command field of the command register (0 = idle).
  uint8_t command() const { return command_; }
  // The host wrote the command field: aborts whatever runs and starts `code`.
  void writeCommand(uint8_t code, Nanos now);
  // The host set the start-send bit: a waiting transceive sends the FIFO.
  void startSend(Nanos now);
  // Runs everything that falls due up to `now`, in time order.
  void advanceTo(Nanos now);
  // Soft reset: no command, nothing on the air. The configuration buffer survives.
  void reset();

  const std::array<uint8_t, kConfigurationSize>& configuration() const { return config_; }

 private:
  struct Incoming {
    Nanos startsAt;
    Nanos endsAt;
    AirAnswer answer;
    bool started = false;
  };
  enum class Phase { None, Transmitting, Receiving, Authenticating };
  enum class Event { None, PhaseEnd, FrameStart, FrameEnd, TimerExpiry };

  void raise(uint8_t requests);
  void fail(uint8_t errors);
  void finish();
  void beginTransmission(Nanos now);
  void endTransmission(Nanos at);
  void frameStart(Nanos at);
  void frameEnd(Nanos at);
  void timerExpired(Nanos now);
  void endAuthentication();
  void startTimerIfAutomatic(Nanos now);
  void configure();
  void randomIdentifier();
  void calculateCrc();
  Event nextEvent(Nanos& at) const;

  RegisterFile& registers_;
  Fifo& fifo_;
  ChipTimer& timer_;
  RfField& field_;
  uint8_t command_ = 0;
  Phase phase_ = Phase::None;
  Nanos phaseEndsAt_{0};
  AirFrame sending_;
  std::vector<uint8_t> authenticationBlock_;
  std::deque<Incoming> incoming_;
  bool multipleFrames_ = false;
  std::array<uint8_t, kConfigurationSize> config_{};
  uint32_t randomState_ = 0x2545F491;
};

}  // namespace kvt::sim
