#pragma once

#include <chrono>
#include <cstdint>

#include "chip/component.h"
#include "chip/register_control.h"

namespace kvt::chip {

// Handed to a wait callback instead of polling the interrupt request registers.
struct WaitEventInfo {
  uint32_t reserved0;
  uint8_t reserved1;
  uint8_t interruptEnable1;
  uint8_t interruptEnable2;
  uint8_t waitMask1;
  uint8_t waitMask2;
  uint8_t command;
  RegisterControlRecord* lower;
  uint32_t waitContext;
};

struct CommandParams {
  RegisterControlRecord* lower;  // every register access goes through this record
  WaitCallback waitCallback;     // null: poll the interrupt request registers
  uint32_t waitContext;
  platform::Clock* clock;  // what the polled wait's time limit runs on; null: the system clock
  uint8_t command;         // chip command code, or cmd::TransceiveUntilTimer
  uint8_t startSend;       // transceive: set the start-send bit after loading the FIFO
  uint8_t transmitOnly;    // transceive: send without awaiting an answer
  const uint8_t* sendBuffer;
  uint16_t sendLength;
  uint8_t* receiveBuffer;
  uint16_t receiveLength;    // in: capacity; out: complete bytes received
  uint16_t receiveLastBits;  // out: valid bits of the last byte (0 = complete)
};

// The longest a polled command wait lasts: 50 times the longest timer the tool sets (100 ms),
// yet a chip that never raises the awaited interrupt costs a few seconds, not minutes, on a
// slow line. The wait also ends after 3000 polling rounds, whichever comes first.
inline constexpr std::chrono::seconds kCommandWaitLimit{5};
inline constexpr int kCommandWaitRounds = 3000;

// Runs one chip command: loads the FIFO, starts the command, waits for its interrupt
// requests, maps the error register and reads the answer. Returns the first failing register
// access at once, the mapped chip error, or 0; a polled wait that reaches its bound (above)
// ends as 0x0001, as if the chip's timer had expired.
Status ExecuteCommand(CommandParams* params);

// A request for `command` on behalf of a component: its lower record, wait callback and
// context; nothing sent or received yet.
template <class Record>
CommandParams CommandFor(const Record* self, uint8_t command, uint8_t startSend = 0) {
  CommandParams p{};
  p.lower = self->lower;
  p.waitCallback = self->waitCallback;
  p.waitContext = self->waitContext;
  p.clock = self->clock;
  p.command = command;
  p.startSend = startSend;
  return p;
}

}  // namespace kvt::chip
