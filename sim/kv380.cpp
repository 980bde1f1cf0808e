#include "sim/kv380.h"

#include "chip/registers.h"

namespace kvt::sim {

namespace reg = chip::reg;
namespace irq = chip::irq;
namespace err = chip::err;
namespace bits = chip::bits;
namespace cmd = chip::cmd;

namespace {
// Power-on values of the registers that are not zero.
struct ResetValue {
  uint8_t address;
  uint8_t value;
};
constexpr ResetValue kResetValues[] = {
    {0x00, 0x80},          // page register
    {0x07, 0x05},          // status 1: FIFO empty, low alert
    {reg::CrcMode, 0x63},  // CRC_A preset
    {reg::TxControl, 0x58},
    {reg::SignalRouting1, 0x10},
    {reg::SignalRouting2, 0x84},
    {reg::RxThreshold, 0x84},
    {reg::Demodulator, 0x4D},
    {reg::SerialSpeed, chip::kSerialSpeed9600},
    {reg::ModWidth, 0x26},
    {reg::RfSelfTestSweep, 0x87},
    {reg::GsN, 0x88},
    {reg::CwGsP, 0x20},
    {reg::ModGsP, 0x20},
};

struct SpeedRate {
  uint8_t value;
  uint32_t rate;
};
// The chip's serial speed table (register 0x1F).
constexpr SpeedRate kSpeedRates[] = {
    {0xEB, 9600},   {0xCB, 14400},  {0xAB, 19200},  {0x9A, 38400},   {0x79, 115200},
    {0x5A, 230400}, {0x3A, 460800}, {0x1C, 921600}, {0x14, 1228800},
};

constexpr uint8_t kTransmitterOn = 0x01;  // transmit control: the self-test's drive
constexpr uint8_t kChipOwnedControlBits = 0x07;
constexpr uint8_t kRequestBits = 0x7F;
}  // namespace

uint32_t lineRateForSpeedValue(uint8_t value) {
  for (const auto& entry : kSpeedRates) {
    if (entry.value == value) return entry.rate;
  }
  return 0;
}

Kv380::Kv380(ChipConfig config) : config_(config), unit_(registers_, fifo_, timer_, field_) {
  reset();
}

void Kv380::reset() {
  registers_.fill(0);
  for (const auto& entry : kResetValues) registers_.set(entry.address, entry.value);
  registers_.set(reg::Version, config_.version);
  fifo_.flush();
  timer_ = ChipTimer();
  unit_.reset();
  lineRate_ = pendingLineRate_ = 9600;
}

void Kv380::softReset() {
  const uint32_t lineRate = lineRate_;
  reset();
  // The UART keeps its rate until the echo of this write has gone out.
  lineRate_ = lineRate;
  pendingLineRate_ = 9600;
  // The reset switches the field off for a moment: cards power down and lose their state.
  field_.cryptoOff();
  field_.fieldReset();
}

// The RF level detector as the self-test sees it on a healthy chip: with the transmitter
// driven, the carrier is detected while the sweep value's low nibble lies below the lower
// bound of the chip's test window (6 on versions 0x26 and 0x27, else 7), and not above it.
bool Kv380::rfLevelDetected() const {
  const uint8_t threshold = (config_.version == 0x26 || config_.version == 0x27) ? 6 : 7;
  return (registers_.get(reg::TxControl) & kTransmitterOn) &&
         (registers_.get(reg::RfSelfTestSweep) & 0x0F) < threshold;
}

uint8_t Kv380::readableValue(uint8_t address) const {
  switch (address) {
    case reg::Command:
      return static_cast<uint8_t>((registers_.get(reg::Command) & 0xF0) | unit_.command());
    case reg::FifoData:
      return fifo_.front();
    case reg::FifoLevel:
      return static_cast<uint8_t>(fifo_.size());
    case reg::TimerValueHigh:
      return static_cast<uint8_t>(timer_.value(now_) >> 8);
    case reg::TimerValueLow:
      return static_cast<uint8_t>(timer_.value(now_) & 0xFF);
    case reg::AnalogTest:
      return static_cast<uint8_t>((registers_.get(reg::AnalogTest) & ~bits::RfDetected) |
                                  (rfLevelDetected() ? bits::RfDetected : 0));
    default:
      return registers_.get(address);
  }
}

uint8_t Kv380::peek(uint8_t address) const { return readableValue(address & 0x3F); }

uint8_t Kv380::readRegister(uint8_t address) {
  address &= 0x3F;
  if (address == reg::FifoData) return fifo_.pop();
  return readableValue(address);
}

void Kv380::writeRegister(uint8_t address, uint8_t value) {
  address &= 0x3F;
  const uint8_t old = registers_.get(address);
  switch (address) {
    case reg::Command:
      registers_.set(address, value & 0xF0);
      if ((value & bits::CommandField) == cmd::SoftReset) return softReset();
      return unit_.writeCommand(value & bits::CommandField, now_);
    case reg::InterruptEnable1:
    case reg::InterruptEnable2:
    case reg::InterruptRequest1:
    case reg::InterruptRequest2:
      // Bit 7 says whether the other 1-bits are set or cleared.
      if (value & irq::SetBits) {
        registers_.setBits(address, value & kRequestBits);
      } else {
        registers_.clearBits(address, value & kRequestBits);
      }
      return;
    case reg::Status2: {
      // The host can switch the crypto unit off, never on.
      const uint8_t crypto = old & value & bits::CryptoOn;
      registers_.set(address, static_cast<uint8_t>((value & ~bits::CryptoOn) | crypto));
      if ((old & bits::CryptoOn) && !crypto) field_.cryptoOff();
      return;
    }
    case reg::FifoData:
      if (!fifo_.push(value)) {
        registers_.setBits(reg::Error, err::FifoOverflow);
        registers_.setBits(reg::InterruptRequest1, irq::Error);
      }
      return;
    case reg::FifoLevel:
      if (value & bits::FifoFlush) fifo_.flush();
      return;
    case reg::Control:
      registers_.set(address, static_cast<uint8_t>((value & ~kChipOwnedControlBits) |
                                                   (old & kChipOwnedControlBits)));
      return;
    case reg::BitFraming:
      registers_.set(address, value & static_cast<uint8_t>(~bits::StartSend));
      if (value & bits::StartSend) unit_.startSend(now_);
      return;
    case reg::Collision:
      // Bit 7 is the host's; the chip reports the collision position below it.
      registers_.set(address, static_cast<uint8_t>((value & bits::KeepAfterCollision) |
                                                   (old & ~bits::KeepAfterCollision)));
      return;
    case reg::Version:
    case reg::TimerValueHigh:
    case reg::TimerValueLow:
      return;  // read-only
    case reg::SerialSpeed:
      registers_.set(address, value);
      pendingLineRate_ = lineRateForSpeedValue(value);
      return;
    default:
      registers_.set(address, value);
      return;
  }
}

void Kv380::advanceTime(std::chrono::nanoseconds duration) {
  now_ += duration;
  unit_.advanceTo(now_);
}

void Kv380::commitLineRate() { lineRate_ = pendingLineRate_; }

}  // namespace kvt::sim
