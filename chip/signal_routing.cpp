#include "chip/attribute_sequences.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {
constexpr uint8_t kManualReceiveBit = 0x08;  // reg::ManualRcv
constexpr uint8_t kSignalBit = 0x04;         // transmit and receive mode
constexpr uint8_t kTargetModeBit = 0x80;     // reg::ModeTarget
constexpr uint8_t kTestPinsSignalOut = 0x18;
}  // namespace

Status RouteSignals(RegisterSequence& seq, uint8_t value1, uint8_t value2) {
  if (value1 == 0) {
    if (value2 == 0) {
      if (Status r = seq.update(reg::SignalRouting1, 0xD0, 0x10)) return r;
      if (Status r = seq.update(reg::SignalRouting2, 0x3F, 0x80)) return r;
      if (Status r = seq.modify(reg::ManualRcv, kManualReceiveBit, false)) return r;
    } else {
      if (Status r = seq.update(reg::SignalRouting1, 0xCD, 0x0D)) return r;
      if (Status r = seq.update(reg::SignalRouting2, 0x3F, 0x40)) return r;
      if (Status r = seq.modify(reg::ManualRcv, kManualReceiveBit, false)) return r;
      if (Status r = seq.write(reg::TestPinEnable, kTestPinsSignalOut)) return r;
    }
    if (Status r = seq.modify(reg::TxMode, kSignalBit, false)) return r;
    return seq.modify(reg::RxMode, kSignalBit, false);
  }

  // SAM mode (value1 1): value2 picks the routing of the two signals.
  static constexpr RegisterSetting kRouting1[] = {
      {reg::SignalRouting1, 0xD0, 0x10},
      {reg::SignalRouting1, 0xDE, 0x1E},
      {reg::SignalRouting1, 0xEE, 0x2E},
  };
  const RegisterSetting& routing = kRouting1[value2];
  if (Status r = seq.update(routing.address, routing.andMask, routing.orValue)) return r;
  if (Status r = seq.update(reg::SignalRouting2, 0x3F, 0x80)) return r;
  if (Status r = seq.modify(reg::ManualRcv, kManualReceiveBit, value2 == 0)) return r;
  if (Status r = seq.modify(reg::TxMode, kSignalBit, value2 != 0)) return r;
  if (Status r = seq.modify(reg::RxMode, kSignalBit, value2 == 2)) return r;
  return seq.modify(reg::ModeTarget, kTargetModeBit, value2 != 0);
}

}  // namespace kvt::chip
