#include "chip/command_engine.h"

#include "chip/register_sequence.h"
#include "chip/registers.h"

namespace kvt::chip {

namespace {

// What a command needs: the interrupt enables it adds, the request bits that end its wait,
// and whether its answer is read from the FIFO afterwards.
struct CommandSettings {
  uint8_t enable1 = 0;
  uint8_t enable2 = 0;
  uint8_t wait1 = 0;
  uint8_t wait2 = 0;
  bool readAnswer = false;
};

constexpr uint8_t kReceiveWait = irq::ReceiveDone | irq::Timer;                    // 0x21
constexpr uint8_t kReceiveEnables = irq::ReceiveDone | irq::Error | irq::Timer;    // 0x23
constexpr uint8_t kCommandDoneWaits = irq::CommandDone | irq::Error | irq::Timer;  // 0x13

bool isTransceive(uint8_t command) {
  return command == cmd::Transceive || command == cmd::TransceiveUntilTimer;
}

// Takes the settings of `params->command`; clears `transmitOnly` where the command ignores it.
CommandSettings settingsFor(CommandParams* params) {
  switch (params->command) {
    case cmd::Idle:
    case cmd::CalcCrc:
    case cmd::SoftReset:
      return {};
    case cmd::Configure:
      return {irq::CommandDone, 0, irq::CommandDone, 0, params->sendLength == 0};
    case cmd::RandomId:
      return {irq::CommandDone, 0, irq::CommandDone, 0, false};
    case cmd::Transmit:
      return {irq::TransmitDone | irq::Timer, 0, irq::TransmitDone, 0, false};
    case cmd::Receive:
      return {kReceiveEnables, 0, kReceiveWait, 0, true};
    case cmd::Transceive:
      if (params->startSend) params->transmitOnly = 0;
      if (params->transmitOnly) return {irq::TransmitDone, 0, irq::TransmitDone, 0, false};
      return {kReceiveEnables, 0, kReceiveWait, 0, true};
    case cmd::AutoAnticollision:
      return {kCommandDoneWaits, irq::Anticollision, kCommandDoneWaits, irq::Anticollision, false};
    case cmd::Authenticate:
      return {kCommandDoneWaits, 0, irq::CommandDone | irq::Timer, 0, false};
    case cmd::TransceiveUntilTimer:
      params->transmitOnly = 0;
      return {irq::TransmitDone | kReceiveEnables, 0, irq::Timer, 0, true};
    default:
      return {0, 0, irq::TransmitDone | irq::Error, 0, false};
  }
}

// Polls the two request registers until a bit of each non-zero wait mask is set. The chip's
// timer normally ends every RF wait (the timer bit is part of their masks), but a chip whose
// timer never runs, or one that never raises the awaited bit, would keep the host here for
// ever. The round count alone is no bound in time: at 20 ms per answer byte (a USB adapter
// without low latency) 3000 rounds last two minutes, hence the limit on `clock` as well.
Status pollRequests(RegisterSequence& seq, const CommandSettings& s, platform::Clock& clock,
                    uint8_t& request1, uint8_t& request2) {
  request1 = request2 = 0;
  const auto start = clock.now();
  int rounds = 0;
  while ((s.wait1 != 0 && (request1 & s.wait1) == 0) ||
         (s.wait2 != 0 && (request2 & s.wait2) == 0)) {
    if (rounds++ == kCommandWaitRounds) return status::Timeout;
    if (clock.now() - start >= kCommandWaitLimit) return status::Timeout;
    if (Status r = seq.read(reg::InterruptRequest1, request1)) return r;
    if (Status r = seq.read(reg::InterruptRequest2, request2)) return r;
  }
  return status::Success;
}

// Turns a non-zero error register value into the command's status (`result`). A single 4-bit
// answer flagged with a CRC error is a card's acknowledgement nibble, read here into the first
// buffer byte. Returns a failing register access, else 0.
Status mapError(RegisterSequence& seq, uint8_t e, CommandParams* params, uint16_t capacity,
                Status& result) {
  if (e & err::Collision) {
    result = status::Collision;
  } else if (e & err::Parity) {
    result = status::ParityError;
  }
  if (e & err::Protocol) {
    result = status::ProtocolError;
  } else if (e & err::FifoOverflow) {
    result = status::BufferOverflow;
  } else if (e & err::Crc) {
    if (params->receiveLength == 1 && capacity >= 1 &&
        (params->receiveLastBits == 4 || params->receiveLastBits == 0)) {
      if (Status r = seq.read(reg::FifoData, params->receiveBuffer[0])) return r;
      params->receiveLength = 1;
      result = status::AckNakNibble;
    } else {
      result = status::CrcError;
    }
  } else if (e & err::Rf) {
    result = status::RfError;
  }
  if (e & err::Temperature) {
    result = status::TemperatureError;
  } else if (result == status::Success) {
    result = status::OtherError;
  }
  return status::Success;
}

// Reads the answer: FIFO level, valid bits of the last byte, error register, then the bytes.
// Updates the command's status in `result`; returns a failing register access, else 0.
Status readAnswer(RegisterSequence& seq, CommandParams* params, uint16_t capacity, Status& result) {
  uint8_t value = 0;
  if (Status r = seq.read(reg::FifoLevel, value)) return r;
  params->receiveLength = value;
  if (Status r = seq.read(reg::Control, value)) return r;
  params->receiveLastBits = value & bits::RxLastBits;
  uint8_t error = 0;
  if (Status r = seq.read(reg::Error, error)) return r;
  if (error != 0) {
    if (Status r = mapError(seq, error, params, capacity, result)) return r;
    if (Status r = seq.write(reg::Error, 0x00)) return r;
  }
  if (result == status::AckNakNibble) return status::Success;
  if (params->receiveLength > capacity) {
    params->receiveLength = capacity;
    result = status::BufferTooSmall;
  }
  if (Status r = seq.readMultiple(reg::FifoData, params->receiveBuffer, params->receiveLength)) {
    return r;
  }
  // The incomplete last byte stays in the buffer behind the complete ones.
  if (params->receiveLastBits != 0 && params->receiveLength != 0) --params->receiveLength;
  return status::Success;
}

// The transceive command is entered before loading the FIFO; the start-send bit (or the
// chip's receiver) then runs it. Every other command first puts the chip to idle.
Status enterCommand(RegisterSequence& seq, const CommandParams* params) {
  uint8_t commandRegister = 0;
  if (Status r = seq.read(reg::Command, commandRegister)) return r;
  const uint8_t kept = commandRegister & static_cast<uint8_t>(~bits::CommandField);
  if (!isTransceive(params->command)) return seq.write(reg::Command, kept | cmd::Idle);
  const bool inAnticollision = (commandRegister & bits::CommandField) == cmd::AutoAnticollision;
  if (inAnticollision || params->transmitOnly) return status::Success;
  return seq.write(reg::Command, kept | cmd::Transceive);
}

// Clears the awaited request bits and the FIFO and adds the command's interrupt enables.
Status armInterrupts(RegisterSequence& seq, const CommandSettings& s) {
  if (Status r = seq.write(reg::InterruptRequest1, s.wait1)) return r;
  if (Status r = seq.write(reg::InterruptRequest2, s.wait2)) return r;
  if (Status r = seq.write(reg::FifoLevel, bits::FifoFlush)) return r;
  uint8_t value = 0;
  if (Status r = seq.read(reg::InterruptEnable1, value)) return r;
  if (Status r = seq.write(reg::InterruptEnable1, value | s.enable1)) return r;
  if (Status r = seq.read(reg::InterruptEnable2, value)) return r;
  return seq.write(reg::InterruptEnable2, value | s.enable2);
}

// Loads the FIFO and starts the command: the start-send bit for a transceive, the command
// field of the command register for every other command.
Status startCommand(RegisterSequence& seq, const CommandParams* params) {
  if (Status r = seq.writeMultiple(reg::FifoData, params->sendBuffer, params->sendLength)) {
    return r;
  }
  if (isTransceive(params->command)) {
    if (!params->transmitOnly && !params->startSend) return status::Success;
    return seq.modify(reg::BitFraming, bits::StartSend, true);
  }
  uint8_t value = 0;
  if (Status r = seq.read(reg::Command, value)) return r;
  const uint8_t kept = value & static_cast<uint8_t>(~bits::CommandField);
  return seq.write(reg::Command, static_cast<uint8_t>(kept | params->command));
}

// Waits for the command's request bits, by polling or through the wait callback, and reads
// the request registers in `request1` and `request2`. Returns the wait's status; a failing
// register access while polling ends the wait with it.
Status awaitCommand(RegisterSequence& seq, const CommandParams* params, const CommandSettings& s,
                    uint8_t& request1, uint8_t& request2) {
  if (params->waitCallback == nullptr) {
    platform::Clock& clock =
        params->clock != nullptr ? *params->clock : platform::SystemClock::instance();
    return pollRequests(seq, s, clock, request1, request2);
  }
  const WaitEventInfo info{0,
                           0,
                           s.enable1,
                           s.enable2,
                           s.wait1,
                           s.wait2,
                           params->command,
                           seq.lower(),
                           params->waitContext};
  const Status result = params->waitCallback(&info);
  seq.read(reg::InterruptRequest1, request1);  // failures ignored
  seq.read(reg::InterruptRequest2, request2);
  return result;
}

// Leaves the chip as the next command expects it: the fired request bits and the timer bit
// cleared, the FIFO empty.
// Returns a failing register access, else the command's `result`.
Status clearAfterCommand(RegisterSequence& seq, uint8_t fired1, uint8_t fired2, Status result) {
  if (Status r = seq.write(reg::InterruptRequest1, fired1)) return r;
  if (Status r = seq.write(reg::InterruptRequest2, fired2)) return r;
  if (Status r = seq.write(reg::FifoLevel, bits::FifoFlush)) return r;
  if (Status r = seq.write(reg::InterruptRequest1, irq::Timer)) return r;
  return result;
}

}  // namespace

Status ExecuteCommand(CommandParams* params) {
  RegisterSequence seq(params->lower);
  const uint8_t command = params->command;
  // Bytes to send from nowhere are refused before anything reaches the chip; without a
  // receive buffer there is no room for an answer.
  if (params->sendBuffer == nullptr && params->sendLength != 0) return status::InvalidParameter;
  const uint16_t capacity = params->receiveBuffer != nullptr ? params->receiveLength : 0;
  params->receiveLength = 0;
  if (params->startSend) params->transmitOnly = 0;

  if (Status r = enterCommand(seq, params)) return r;
  const CommandSettings s = settingsFor(params);
  if (Status r = armInterrupts(seq, s)) return r;
  if (Status r = startCommand(seq, params)) return r;

  uint8_t request1 = 0;
  uint8_t request2 = 0;
  Status result = awaitCommand(seq, params, s, request1, request2);
  if (params->waitCallback == nullptr && result != status::Success && result != status::Timeout) {
    return result;
  }
  if (request1 & irq::Timer) result = status::Timeout;

  if (Status r = seq.modify(reg::InterruptEnable1, s.enable1, false)) return r;
  if (Status r = seq.modify(reg::InterruptEnable2, s.enable2, false)) return r;
  if ((s.readAnswer && result == status::Success) ||
      (result == status::Timeout && command == cmd::TransceiveUntilTimer)) {
    if (Status r = readAnswer(seq, params, capacity, result)) return r;
  }
  return clearAfterCommand(seq, s.wait1 & request1, s.wait2 & request2, result);
}

}  // namespace kvt::chip
