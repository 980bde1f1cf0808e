#include "chip/operation_control.h"

#include <cstring>

#include "chip/attribute_sequences.h"
#include "chip/command_engine.h"
#include "chip/configuration_layout.h"
#include "chip/register_sequence.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

namespace at = attribute;

constexpr uint8_t kCrcInputLimit = 64;  // the chip's FIFO

constexpr uint8_t kTimerAutoStart = bits::TimerAutoStart;
constexpr uint8_t kTimerAutoRestart = bits::TimerAutoRestart;
constexpr uint8_t kPrescalerHigh = bits::TimerPrescalerHigh;
// Bits of the transmit and receive mode registers that the protocol attributes leave alone.
constexpr uint8_t kModeKeptBits = 0x0C;
// The framing field of the mode registers, and the CRC bit the protocols set with it.
constexpr uint8_t kFramingTypeA = bits::CrcOn | 0x00;
constexpr uint8_t kFramingActive = bits::CrcOn | 0x01;
constexpr uint8_t kFramingPassive212 = bits::CrcOn | 0x02;

// The bits of the transmit ASK register each protocol clears (the active protocol sets them).
constexpr uint8_t kAskReaderBits = 0x88;
constexpr uint8_t kAskTargetBits = 0xCF;
constexpr uint8_t kAskPassive212Bits = 0xC8;
// The target rates keep these bits of the modulator setting and the Mifare register.
constexpr uint8_t kModulatorKeptBits = 0x87;
constexpr uint8_t kModulatorTargetRates = 0x07;
constexpr uint8_t kMifareKeptBits = 0x07;
// Modulation width per bit rate index of the protocol attribute 1/3 (106 to 848 kbit/s).
constexpr uint8_t kModWidths[] = {0x26, 0x15, 0x0A, 0x05};
// Receive settings of attribute 1/5 per receive bit rate index.
constexpr uint8_t kMifareRates[] = {0x68, 0x88, 0xB0, 0xD8};

void selectTables(OperationControlMembers* m, uint8_t version) {
  const RegisterSet* set = &kRegisterSetA;
  switch (RegisterSetForVersion(version)) {
    case RegisterSetKind::A:
      break;
    case RegisterSetKind::B:
      set = &kRegisterSetB;
      break;
    case RegisterSetKind::C:
      set = &kRegisterSetC;
      break;
  }
  for (int i = 0; i < 5; ++i) m->tables[i] = set->tables[i];
  m->testLow = SelfTestLowForVersion(version);
  m->testHigh = kSelfTestHigh;
  m->testDrive = kSelfTestDrive;
}

Status selectVersion(OperationControlRecord* self, RegisterSequence& seq) {
  OperationControlMembers* m = self->members;
  if (m->version != kVersionUnknown) return status::Success;
  uint8_t version = 0;
  if (Status r = seq.read(reg::Version, version)) return r;
  m->version = version;
  selectTables(m, version);
  return status::Success;
}

// The mode field of the transmit or receive mode register: bits 0x0C stay, the rest is
// replaced.
Status setModeField(RegisterSequence& seq, uint8_t address, uint8_t value) {
  return seq.update(address, kModeKeptBits, value);
}

Status setModes(RegisterSequence& seq, uint8_t txMode, uint8_t rxMode) {
  if (Status r = setModeField(seq, reg::TxMode, txMode)) return r;
  return setModeField(seq, reg::RxMode, rxMode);
}

uint8_t modeValue(uint8_t rateIndex, uint8_t framing) {
  return static_cast<uint8_t>((rateIndex << 4) | framing);
}

bool inRange(uint8_t value, uint8_t low, uint8_t high) { return value >= low && value <= high; }

// Protocol attributes of group 1: bit rates and framing of both directions.
Status setProtocol(OperationControlRecord* self, RegisterSequence& seq, AttributeParams* p) {
  const uint8_t v1 = p->value1;
  const uint8_t v2 = p->value2;
  const OperationControlMembers* m = self->members;
  switch (p->attribute) {
    case at::ProtocolActive:
      if (!inRange(v1, 0, 2) || !inRange(v2, 0, 2)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, kFramingActive), modeValue(v2, kFramingActive))) {
        return r;
      }
      if (Status r = seq.modify(reg::TxAsk, kAskReaderBits, true)) return r;
      return seq.applyTable(m->tables[v1 == 0 ? 0 : 1]);
    case at::ProtocolTarget:
      if (!inRange(v1, 0, 3) || !inRange(v2, 0, 3)) return status::InvalidParameter;
      if (Status r = seq.modify(reg::TxAsk, kAskTargetBits, false)) return r;
      if (Status r = seq.modify(reg::TxControl, bits::TxDrivers, false)) return r;
      if (Status r = setModes(seq, kFramingTypeA, kFramingTypeA)) return r;
      return seq.applyTable(m->tables[4]);
    case at::ProtocolTypeA:
      if (!inRange(v1, 0, 3) || !inRange(v2, 0, 3)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, kFramingTypeA), modeValue(v2, kFramingTypeA))) {
        return r;
      }
      if (Status r = seq.modify(reg::TxAsk, kAskReaderBits, false)) return r;
      if (Status r = seq.write(reg::ModWidth, kModWidths[v1])) return r;
      return v1 == 0 ? seq.applyTable(m->tables[2]) : status::Success;
    case at::ProtocolPassive212:
      if (!inRange(v1, 1, 2) || !inRange(v2, 1, 2)) return status::InvalidParameter;
      if (Status r =
              setModes(seq, modeValue(v1, kFramingPassive212), modeValue(v2, kFramingPassive212))) {
        return r;
      }
      if (Status r = seq.modify(reg::TxAsk, kAskPassive212Bits, false)) return r;
      return seq.applyTable(m->tables[3]);
    case at::ProtocolTargetRates:
      if (!inRange(v1, 0, 3) || !inRange(v2, 0, 3)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, kFramingTypeA), modeValue(v2, kFramingTypeA))) {
        return r;
      }
      if (Status r = seq.update(reg::ModulatorSetting, kModulatorKeptBits, kModulatorTargetRates))
        return r;
      return seq.update(reg::Mifare, kMifareKeptBits, kMifareRates[v2]);
    default:
      return status::InvalidParameter;
  }
}

// Timer attributes of group 6.
Status setTimer(RegisterSequence& seq, AttributeParams* p) {
  const uint8_t v1 = p->value1;
  const uint8_t v2 = p->value2;
  switch (p->attribute) {
    case at::TimerAll: {
      const uint8_t* b = p->attributeBuffer;
      if (!inRange(v1, 0, 1) || !inRange(v2, 0, 1) || b == nullptr || b[1] > kPrescalerHigh) {
        return status::InvalidParameter;
      }
      if (Status r = seq.modify(reg::TimerMode, kTimerAutoStart, v1 != 0)) return r;
      if (Status r = seq.modify(reg::TimerMode, kTimerAutoRestart, v2 != 0)) return r;
      if (Status r = seq.write(reg::TimerPrescalerLow, b[0])) return r;
      if (Status r = seq.update(reg::TimerMode, ~kPrescalerHigh, b[1])) return r;
      if (Status r = seq.write(reg::TimerReloadLow, b[2])) return r;
      return seq.write(reg::TimerReloadHigh, b[3]);
    }
    case at::TimerAutoStart:
      if (!inRange(v1, 0, 1)) return status::InvalidParameter;
      return seq.modify(reg::TimerMode, kTimerAutoStart, v1 == 1);
    case at::TimerAutoRestart:
      if (!inRange(v1, 0, 1)) return status::InvalidParameter;
      return seq.modify(reg::TimerMode, kTimerAutoRestart, v1 == 1);
    case at::TimerGating:
      if (!inRange(v1, 0, 3)) return status::InvalidParameter;
      return seq.update(reg::TimerMode, static_cast<uint8_t>(~bits::TimerGating),
                        static_cast<uint8_t>(v1 << bits::TimerGatingShift));
    case at::TimerPrescaler:
      if (!inRange(v2, 0, kPrescalerHigh)) return status::InvalidParameter;
      if (Status r = seq.write(reg::TimerPrescalerLow, v1)) return r;
      return seq.update(reg::TimerMode, ~kPrescalerHigh, v2);
    case at::TimerReload:
      if (Status r = seq.write(reg::TimerReloadLow, v1)) return r;
      return seq.write(reg::TimerReloadHigh, v2);
    case at::TimerValue:
      return status::NotSupported;  // read-only
    default:
      return status::InvalidParameter;
  }
}

Status readCrcResult(RegisterSequence& seq, AttributeParams* p) {
  if (Status r = seq.read(reg::CrcResultHigh, p->value2)) return r;
  return seq.read(reg::CrcResultLow, p->value1);
}

// CRC unit attributes of group 7.
Status setCrc(OperationControlRecord* self, RegisterSequence& seq, AttributeParams* p) {
  switch (p->attribute) {
    case at::CrcPreset:
      if (!inRange(p->value1, 0, 3)) return status::InvalidParameter;
      return seq.update(reg::CrcMode, static_cast<uint8_t>(~bits::CrcPreset), p->value1);
    case at::CrcResult:
      return status::NotSupported;  // read-only
    case at::CrcMsbFirst:
      return seq.modify(reg::CrcMode, bits::CrcMsbFirst, p->value1 == 1);
    case at::CrcCalculate: {
      if (p->value1 > kCrcInputLimit || (p->value1 != 0 && p->attributeBuffer == nullptr)) {
        return status::InvalidParameter;
      }
      CommandParams c = CommandFor(self, cmd::CalcCrc);
      c.sendBuffer = p->attributeBuffer;
      c.sendLength = p->value1;
      if (Status r = ExecuteCommand(&c)) return r;
      return readCrcResult(seq, p);
    }
    default:
      return status::InvalidParameter;
  }
}

// Which bytes of the configuration buffer a selection covers: (offset, count) runs.
struct ConfigSelection {
  uint8_t length;
  ConfigRun runs[3];
};
constexpr ConfigSelection kConfigSelections[] = {
    {6, {{0, 6}, {0, 0}, {0, 0}}},    // type A identification
    {18, {{6, 18}, {0, 0}, {0, 0}}},  // 212/424 kbit/s identification
    {10, {kIdentifierRuns[0], kIdentifierRuns[1], kIdentifierRuns[2]}},  // the identifiers only
};
constexpr uint8_t kRandomIdentifiers = 0xFF;

Status setConfiguration(OperationControlRecord* self, AttributeParams* p) {
  const bool random = p->value1 == kRandomIdentifiers;
  if (!random) {
    if (p->value1 >= 3 || p->value2 != kConfigSelections[p->value1].length ||
        p->attributeBuffer == nullptr) {
      return status::InvalidParameter;
    }
  }
  uint8_t config[kConfigurationSize] = {};
  if (Status r = ReadConfigurationBuffer(self, config)) return r;
  if (random) return RandomizeIdentifiers(self);
  const uint8_t* source = p->attributeBuffer;
  for (const ConfigRun& run : kConfigSelections[p->value1].runs) {
    std::memcpy(config + run.offset, source, run.count);
    source += run.count;
  }
  return WriteConfigurationBuffer(self, config);
}

// The selection is checked before the buffer is read, so a bad one costs no chip command; a
// short read is refused (0x7E01) rather than handing out bytes the chip never delivered.
Status getConfiguration(OperationControlRecord* self, AttributeParams* p) {
  if (p->value1 == kRandomIdentifiers) return status::NotSupported;
  if (p->value1 >= 3 || p->attributeBuffer == nullptr) return status::InvalidParameter;
  uint8_t config[kConfigurationSize] = {};
  if (Status r = ReadConfigurationBuffer(self, config)) return r;
  const ConfigSelection& selection = kConfigSelections[p->value1];
  uint8_t* target = p->attributeBuffer;
  for (const ConfigRun& run : selection.runs) {
    std::memcpy(target, config + run.offset, run.count);
    target += run.count;
  }
  p->value2 = selection.length;
  return status::Success;
}

}  // namespace

Status SetAttribute(AttributeParams* params) {
  OperationControlRecord* self = params->component;
  RegisterSequence seq(self->lower);
  if (Status r = selectVersion(self, seq)) return r;
  const uint8_t a = params->attribute;
  switch (params->group) {
    case at::GroupVersion:
      return status::NotSupported;  // the version is read-only
    case at::GroupProtocol:
      // Any protocol change ends an authenticated session.
      if (Status r = seq.modify(reg::Status2, bits::CryptoOn, false)) return r;
      return setProtocol(self, seq, params);
    case at::GroupSerialSpeed:
      if (a != at::SerialSpeed || params->value1 >= kSerialSpeedCount) {
        return status::InvalidParameter;
      }
      return seq.write(reg::SerialSpeed, kSerialSpeeds[params->value1].value);
    case at::GroupSelfTest:
      if (a != at::SelfTest) return status::InvalidParameter;
      return RunRfSelfTest(seq, *self->members, params->value1);
    case at::GroupSignals:
      if (a != at::SignalRouting || !inRange(params->value1, 0, 1) ||
          !inRange(params->value2, 0, 2)) {
        return status::InvalidParameter;
      }
      return RouteSignals(seq, params->value1, params->value2);
    case at::GroupTimer:
      return setTimer(seq, params);
    case at::GroupCrc:
      return setCrc(self, seq, params);
    case at::GroupConfiguration:
      if (a != at::Configuration) return status::InvalidParameter;
      return setConfiguration(self, params);
    default:  // group 4 and everything above the configuration
      return status::InvalidParameter;
  }
}

Status GetAttribute(AttributeParams* params) {
  OperationControlRecord* self = params->component;
  RegisterSequence seq(self->lower);
  const uint8_t a = params->attribute;
  switch (params->group) {
    case at::GroupVersion:
      if (a != at::Version) return status::InvalidParameter;
      params->value2 = 0;
      return seq.read(reg::Version, params->value1);
    case at::GroupProtocol:
      return inRange(a, at::ProtocolActive, at::ProtocolTargetRates) ? status::NotSupported
                                                                     : status::InvalidParameter;
    case at::GroupSerialSpeed:
      return a == at::SerialSpeed ? status::NotSupported : status::InvalidParameter;
    case at::GroupSelfTest:
      return a == at::SelfTest ? status::NotSupported : status::InvalidParameter;
    case at::GroupSignals:
      return a == at::SignalRouting ? status::NotSupported : status::InvalidParameter;
    case at::GroupTimer:
      if (a == at::TimerValue) {
        if (Status r = seq.read(reg::TimerValueHigh, params->value2)) return r;
        return seq.read(reg::TimerValueLow, params->value1);
      }
      return a < at::TimerValue ? status::NotSupported : status::InvalidParameter;
    case at::GroupCrc:
      if (a == at::CrcResult) return readCrcResult(seq, params);
      return a <= at::CrcCalculate ? status::NotSupported : status::InvalidParameter;
    case at::GroupConfiguration:
      if (a != at::Configuration) return status::InvalidParameter;
      return getConfiguration(self, params);
    default:
      return status::InvalidParameter;
  }
}

void InitOperationControl(OperationControlRecord* record, OperationControlMembers* members,
                          RegisterControlRecord* lower) {
  InitCommandRecord(record, members, lower);
  record->SetAttribute = &SetAttribute;
  record->GetAttribute = &GetAttribute;
  members->version = kVersionUnknown;
}

}  // namespace kvt::chip
