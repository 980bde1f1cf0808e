#include "chip/operation_control.h"

#include <cstring>

#include "chip/attribute_sequences.h"
#include "chip/command_engine.h"
#include "chip/register_sequence.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

constexpr uint8_t kTestHigh = 10;
constexpr uint8_t kTestDrive = 1;
constexpr uint8_t kCrcInputLimit = 64;  // the chip's FIFO

// Timer mode bits of register 0x2A.
constexpr uint8_t kTimerAutoStart = 0x80;
constexpr uint8_t kTimerAutoRestart = 0x10;
constexpr uint8_t kTimerGating = 0x60;
constexpr uint8_t kPrescalerHigh = 0x0F;
// CRC unit bits of register 0x11.
constexpr uint8_t kCrcPreset = 0x03;
constexpr uint8_t kCrcMsbFirst = 0x80;
// Bits of the mode registers 0x12/0x13 that the protocol attributes leave alone.
constexpr uint8_t kModeKeptBits = 0x0C;

// Modulation width per bit rate index of the protocol attribute 1/3 (106 to 848 kbit/s).
constexpr uint8_t kModWidths[] = {0x26, 0x15, 0x0A, 0x05};
// Receive settings of attribute 1/5 per receive bit rate index.
constexpr uint8_t kMifareRates[] = {0x68, 0x88, 0xB0, 0xD8};

void selectTables(OperationControlMembers* m, uint8_t version) {
  const RegisterSet* set = &kRegisterSetA;
  m->testLow = 7;
  if (version == 0x28) {
    set = &kRegisterSetC;
  } else if (version == 0x26 || version == 0x27) {
    set = &kRegisterSetB;
    m->testLow = 6;
  }
  for (int i = 0; i < 5; ++i) m->tables[i] = set->tables[i];
  m->testHigh = kTestHigh;
  m->testDrive = kTestDrive;
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
    case 1:
      if (!inRange(v1, 0, 2) || !inRange(v2, 0, 2)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, 0x81), modeValue(v2, 0x81))) return r;
      if (Status r = seq.modify(reg::TxAsk, 0x88, true)) return r;
      return seq.applyTable(m->tables[v1 == 0 ? 0 : 1]);
    case 2:
      if (!inRange(v1, 0, 3) || !inRange(v2, 0, 3)) return status::InvalidParameter;
      if (Status r = seq.modify(reg::TxAsk, 0xCF, false)) return r;
      if (Status r = seq.modify(reg::TxControl, 0x03, false)) return r;
      if (Status r = setModes(seq, 0x80, 0x80)) return r;
      return seq.applyTable(m->tables[4]);
    case 3:
      if (!inRange(v1, 0, 3) || !inRange(v2, 0, 3)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, 0x80), modeValue(v2, 0x80))) return r;
      if (Status r = seq.modify(reg::TxAsk, 0x88, false)) return r;
      if (Status r = seq.write(reg::ModWidth, kModWidths[v1])) return r;
      return v1 == 0 ? seq.applyTable(m->tables[2]) : status::Success;
    case 4:
      if (!inRange(v1, 1, 2) || !inRange(v2, 1, 2)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, 0x82), modeValue(v2, 0x82))) return r;
      if (Status r = seq.modify(reg::TxAsk, 0xC8, false)) return r;
      return seq.applyTable(m->tables[3]);
    case 5:
      if (!inRange(v1, 0, 3) || !inRange(v2, 0, 3)) return status::InvalidParameter;
      if (Status r = setModes(seq, modeValue(v1, 0x80), modeValue(v2, 0x80))) return r;
      if (Status r = seq.update(reg::ModulatorSetting, 0x87, 0x07)) return r;
      return seq.update(reg::Mifare, 0x07, kMifareRates[v2]);
    default:
      return status::InvalidParameter;
  }
}

// Timer attributes of group 6.
Status setTimer(RegisterSequence& seq, AttributeParams* p) {
  const uint8_t v1 = p->value1;
  const uint8_t v2 = p->value2;
  switch (p->attribute) {
    case 0: {
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
    case 1:
      if (!inRange(v1, 0, 1)) return status::InvalidParameter;
      return seq.modify(reg::TimerMode, kTimerAutoStart, v1 == 1);
    case 2:
      if (!inRange(v1, 0, 1)) return status::InvalidParameter;
      return seq.modify(reg::TimerMode, kTimerAutoRestart, v1 == 1);
    case 3:
      if (!inRange(v1, 0, 3)) return status::InvalidParameter;
      return seq.update(reg::TimerMode, static_cast<uint8_t>(~kTimerGating),
                        static_cast<uint8_t>(v1 << 5));
    case 4:
      if (!inRange(v2, 0, kPrescalerHigh)) return status::InvalidParameter;
      if (Status r = seq.write(reg::TimerPrescalerLow, v1)) return r;
      return seq.update(reg::TimerMode, ~kPrescalerHigh, v2);
    case 5:
      if (Status r = seq.write(reg::TimerReloadLow, v1)) return r;
      return seq.write(reg::TimerReloadHigh, v2);
    case 6:
      return status::NotSupported;  // the timer value is read-only
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
    case 0:
      if (!inRange(p->value1, 0, 3)) return status::InvalidParameter;
      return seq.update(reg::CrcMode, static_cast<uint8_t>(~kCrcPreset), p->value1);
    case 1:
      return status::NotSupported;  // the CRC result is read-only
    case 2:
      return seq.modify(reg::CrcMode, kCrcMsbFirst, p->value1 == 1);
    case 3: {
      if (p->value1 > kCrcInputLimit || (p->value1 != 0 && p->attributeBuffer == nullptr)) {
        return status::InvalidParameter;
      }
      CommandParams c{};
      c.lower = self->lower;
      c.waitCallback = self->waitCallback;
      c.waitContext = self->waitContext;
      c.command = cmd::CalcCrc;
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
struct ConfigRun {
  uint8_t offset;
  uint8_t count;
};
struct ConfigSelection {
  uint8_t length;
  ConfigRun runs[3];
};
constexpr ConfigSelection kConfigSelections[] = {
    {6, {{0, 6}, {0, 0}, {0, 0}}},    // type A identification
    {18, {{6, 18}, {0, 0}, {0, 0}}},  // 212/424 kbit/s identification
    {10, {{2, 3}, {8, 6}, {24, 1}}},  // the identifiers only
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
  switch (params->group) {
    case 0:
      return status::NotSupported;  // the version is read-only
    case 1:
      // Any protocol change ends an authenticated session.
      if (Status r = seq.modify(reg::Status2, bits::CryptoOn, false)) return r;
      return setProtocol(self, seq, params);
    case 2:
      if (params->attribute != 1 || params->value1 >= kSerialSpeedCount) {
        return status::InvalidParameter;
      }
      return seq.write(reg::SerialSpeed, kSerialSpeedValues[params->value1]);
    case 3:
      if (params->attribute != 5) return status::InvalidParameter;
      return RunRfSelfTest(seq, *self->members, params->value1);
    case 5:
      if (params->attribute != 17 || !inRange(params->value1, 0, 1) ||
          !inRange(params->value2, 0, 2)) {
        return status::InvalidParameter;
      }
      return RouteSignals(seq, params->value1, params->value2);
    case 6:
      return setTimer(seq, params);
    case 7:
      return setCrc(self, seq, params);
    case 8:
      if (params->attribute != 9) return status::InvalidParameter;
      return setConfiguration(self, params);
    default:  // group 4 and everything above 8
      return status::InvalidParameter;
  }
}

Status GetAttribute(AttributeParams* params) {
  OperationControlRecord* self = params->component;
  RegisterSequence seq(self->lower);
  const uint8_t a = params->attribute;
  switch (params->group) {
    case 0:
      if (a != 0) return status::InvalidParameter;
      params->value2 = 0;
      return seq.read(reg::Version, params->value1);
    case 1:
      return inRange(a, 1, 5) ? status::NotSupported : status::InvalidParameter;
    case 2:
      return a == 1 ? status::NotSupported : status::InvalidParameter;
    case 3:
      return a == 5 ? status::NotSupported : status::InvalidParameter;
    case 5:
      return a == 17 ? status::NotSupported : status::InvalidParameter;
    case 6:
      if (a == 6) {
        if (Status r = seq.read(reg::TimerValueHigh, params->value2)) return r;
        return seq.read(reg::TimerValueLow, params->value1);
      }
      return a <= 5 ? status::NotSupported : status::InvalidParameter;
    case 7:
      if (a == 1) return readCrcResult(seq, params);
      return a <= 3 ? status::NotSupported : status::InvalidParameter;
    case 8:
      if (a != 9) return status::InvalidParameter;
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
