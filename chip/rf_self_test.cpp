#include "chip/attribute_sequences.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {
constexpr uint8_t kFailed = 0xFF;
constexpr uint8_t kSweepBase = 0x60;
constexpr uint8_t kSweepOff = 0x6F;  // drive level at which no carrier may be seen
// Transmit control during the sweep: the carrier on TX1 only; and afterwards: both drivers off.
constexpr uint8_t kSweepTxControl = bits::InvertTx2 | bits::Tx1RfOn;
constexpr uint8_t kDriversOffTxControl = bits::InvertTx2;

// The registers the test changes, in order, with the values it puts there (the drive of
// reg::CwGsP comes from the members).
struct TestSetting {
  uint8_t address;
  uint8_t value;
};
constexpr TestSetting kTestSettings[] = {
    {reg::TxAsk, 0x00},   {reg::TxControl, kSweepTxControl}, {reg::Command, 0x00},
    {reg::GsN, 0xF0},     {reg::CwGsP, 0x00 /* drive */},    {reg::ModGsP, 0x00},
    {reg::TestBus, 0x12},
};
constexpr int kSettingCount = sizeof kTestSettings / sizeof kTestSettings[0];

bool rfDetected(uint8_t analogTest) { return analogTest & bits::RfDetected; }
}  // namespace

Status RunRfSelfTest(RegisterSequence& seq, const OperationControlMembers& members,
                     uint8_t& result) {
  result = kFailed;
  uint8_t saved[kSettingCount] = {};
  uint8_t savedSweep = 0;
  int savedCount = 0;
  Status failure = status::Success;

  for (; savedCount < kSettingCount && !failure; ++savedCount) {
    const TestSetting& s = kTestSettings[savedCount];
    if ((failure = seq.read(s.address, saved[savedCount]))) break;
    const uint8_t value = s.address == reg::CwGsP ? members.testDrive : s.value;
    failure = seq.write(s.address, value);
  }
  bool sweepSaved = false;
  if (!failure) {
    failure = seq.read(reg::RfSelfTestSweep, savedSweep);
    sweepSaved = !failure;
  }

  // The carrier must stay detected below the test window and vanish inside it.
  for (uint8_t v = kSweepBase; !failure && v <= kSweepBase + members.testHigh; ++v) {
    uint8_t analog = 0;
    if ((failure = seq.write(reg::RfSelfTestSweep, v))) break;
    if ((failure = seq.read(reg::AnalogTest, analog))) break;
    if (rfDetected(analog)) continue;
    const uint8_t level = v & bits::SweepLevel;
    if (level < members.testLow || level > members.testHigh) break;
    result = 0;
  }
  if (!failure && result == 0) {
    uint8_t analog = 0;
    if (!(failure = seq.write(reg::RfSelfTestSweep, kSweepOff)) &&
        !(failure = seq.write(reg::TxControl, kDriversOffTxControl)) &&
        !(failure = seq.read(reg::AnalogTest, analog)) && rfDetected(analog)) {
      result = kFailed;
    }
  }

  // Restore what was saved, also after a failure; the first failure is what counts.
  for (int i = 0; i < savedCount; ++i) {
    const Status r = seq.write(kTestSettings[i].address, saved[i]);
    if (!failure) failure = r;
  }
  if (sweepSaved) {
    const Status r = seq.write(reg::RfSelfTestSweep, savedSweep);
    if (!failure) failure = r;
  }
  if (failure) result = kFailed;
  return failure;
}

}  // namespace kvt::chip
