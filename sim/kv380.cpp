#include "sim/kv380.h"

#include "chip/address_byte.h"
#include "chip/register_tables.h"
#include "sim/chip_names.h"

namespace kvt::sim {

namespace {
// Power-on values of the registers that are not zero.
struct ResetValue {
  uint8_t address;
  uint8_t value;
};
constexpr ResetValue kResetValues[] = {
    {reg::Page, 0x80},
    {reg::Status1, 0x05},  // FIFO empty, low alert
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
}  // namespace

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

// The RF level detector as the self-test sees it on a healthy chip: with the TX1 driver on,
// the carrier is detected while the sweep value's level nibble lies below the lower bound of
// the chip version's test window, and not above it.
bool Kv380::rfLevelDetected() const {
  return (registers_.get(reg::TxControl) & bits::Tx1RfOn) &&
         (registers_.get(reg::RfSelfTestSweep) & bits::SweepLevel) <
             chip::SelfTestLowForVersion(config_.version);
}

uint8_t Kv380::readableValue(uint8_t address) const {
  switch (address) {
    case reg::Command:
      return static_cast<uint8_t>((registers_.get(reg::Command) & ~bits::CommandField) |
                                  unit_.command());
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

uint8_t Kv380::peek(uint8_t address) const { return readableValue(address & chip::kRegisterBits); }

uint8_t Kv380::readRegister(uint8_t address) {
  address &= chip::kRegisterBits;
  if (address == reg::FifoData) return fifo_.pop();
  return readableValue(address);
}

void Kv380::writeRegister(uint8_t address, uint8_t value) {
  address &= chip::kRegisterBits;
  if (!writeSpecial(address, value)) registers_.set(address, value);
}

bool Kv380::writeSpecial(uint8_t address, uint8_t value) {
  const uint8_t old = registers_.get(address);
  switch (address) {
    case reg::Command:
      registers_.set(address, value & static_cast<uint8_t>(~bits::CommandField));
      if ((value & bits::CommandField) == cmd::SoftReset) {
        softReset();
      } else {
        unit_.writeCommand(value & bits::CommandField, now_);
      }
      return true;
    case reg::InterruptRequest1:
    case reg::InterruptRequest2:
      writeInterruptBits(address, value);
      return true;
    case reg::Status2:
      writeStatus2(value);
      return true;
    case reg::FifoData:
      writeFifo(value);
      return true;
    case reg::FifoLevel:
      if (value & bits::FifoFlush) fifo_.flush();
      return true;
    case reg::Control:
      registers_.set(address,
                     static_cast<uint8_t>((value & ~bits::RxLastBits) | (old & bits::RxLastBits)));
      return true;
    case reg::BitFraming:
      registers_.set(address, value & static_cast<uint8_t>(~bits::StartSend));
      if (value & bits::StartSend) unit_.startSend(now_);
      return true;
    case reg::Collision:
      // The keep bit is the host's; the chip reports the collision position below it.
      registers_.set(address, static_cast<uint8_t>((value & bits::KeepAfterCollision) |
                                                   (old & ~bits::KeepAfterCollision)));
      return true;
    case reg::Version:
    case reg::TimerValueHigh:
    case reg::TimerValueLow:
      return true;  // read-only
    case reg::SerialSpeed:
      registers_.set(address, value);
      pendingLineRate_ = chip::LineRateForSpeedValue(value);
      return true;
    default:
      return false;
  }
}

// The set bit says whether the other 1-bits are set or cleared. The enable registers are
// plain storage: the host reads them, ORs its enables in and writes the whole value back.
void Kv380::writeInterruptBits(uint8_t address, uint8_t value) {
  if (value & irq::SetBits) {
    registers_.setBits(address, value & irq::RequestBits);
  } else {
    registers_.clearBits(address, value & irq::RequestBits);
  }
}

// The host can switch the crypto unit off, never on.
void Kv380::writeStatus2(uint8_t value) {
  const uint8_t old = registers_.get(reg::Status2);
  const uint8_t crypto = old & value & bits::CryptoOn;
  registers_.set(reg::Status2, static_cast<uint8_t>((value & ~bits::CryptoOn) | crypto));
  if ((old & bits::CryptoOn) && !crypto) field_.cryptoOff();
}

void Kv380::writeFifo(uint8_t value) {
  if (fifo_.push(value)) return;
  registers_.setBits(reg::Error, err::FifoOverflow);
  registers_.setBits(reg::InterruptRequest1, irq::Error);
}

bool Kv380::interruptOutput() const {
  const uint8_t pending1 = registers_.get(reg::InterruptRequest1) &
                           registers_.get(reg::InterruptEnable1) & irq::RequestBits;
  const uint8_t pending2 = registers_.get(reg::InterruptRequest2) &
                           registers_.get(reg::InterruptEnable2) & irq::RequestBits;
  return (pending1 | pending2) != 0;
}

void Kv380::advanceTime(std::chrono::nanoseconds duration) {
  now_ += duration;
  unit_.advanceTo(now_);
}

void Kv380::commitLineRate() { lineRate_ = pendingLineRate_; }

}  // namespace kvt::sim
