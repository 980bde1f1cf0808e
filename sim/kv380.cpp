#include "sim/kv380.h"

#include "chip/registers.h"

namespace kvt::sim {

namespace reg = chip::reg;

namespace {
// Power-on values of the registers that are not zero.
struct ResetValue {
  uint8_t address;
  uint8_t value;
};
constexpr ResetValue kResetValues[] = {
    {0x00, 0x80},                     // page register
    {0x07, 0x05},                     // status 1: FIFO empty, low alert
    {reg::CrcMode, 0x63},             // CRC_A preset
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
}  // namespace

uint32_t lineRateForSpeedValue(uint8_t value) {
  for (const auto& entry : kSpeedRates) {
    if (entry.value == value) return entry.rate;
  }
  return 0;
}

Kv380::Kv380(ChipConfig config) : config_(config) { reset(); }

void Kv380::reset() {
  registers_.fill(0);
  for (const auto& entry : kResetValues) registers_[entry.address] = entry.value;
  registers_[reg::Version] = config_.version;
  lineRate_ = pendingLineRate_ = 9600;
}

uint8_t Kv380::readRegister(uint8_t address) { return registers_[address & 0x3F]; }

void Kv380::writeRegister(uint8_t address, uint8_t value) {
  address &= 0x3F;
  if (address == reg::Version) return;  // read-only
  registers_[address] = value;
  if (address == reg::SerialSpeed) pendingLineRate_ = lineRateForSpeedValue(value);
}

void Kv380::advanceTime(std::chrono::nanoseconds duration) { now_ += duration; }

void Kv380::commitLineRate() { lineRate_ = pendingLineRate_; }

}  // namespace kvt::sim
