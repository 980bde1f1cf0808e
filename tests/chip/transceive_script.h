#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/register_script.h"

namespace kvt::test {

// The register traffic of one chip transceive (start-send set, command register idle before),
// on top of RegisterScript: load, start, the polling wait, and the answer as the chip reports
// it. `bitFraming` is the value register 0x0D holds when the start bit is set.
class TransceiveScript : public RegisterScript {
 public:
  using RegisterScript::RegisterScript;

  // Everything before the wait.
  TransceiveScript& start(const std::vector<uint8_t>& send, uint8_t bitFraming = 0) {
    read(0x01, 0x00).write(0x01, 0x0C);
    write(0x04, 0x21).write(0x05, 0x00).write(0x0A, 0x80);
    read(0x02, 0x00).write(0x02, 0x23).read(0x03, 0x00).write(0x03, 0x00);
    writeEach(0x09, send);
    modify(0x0D, bitFraming, 0x80, true);
    return *this;
  }
  // One polling round finding `request1` in interrupt request register 1.
  TransceiveScript& poll(uint8_t request1) {
    read(0x04, request1).read(0x05, 0x00);
    return *this;
  }
  TransceiveScript& enablesOff() {
    modify(0x02, 0x23, 0x23, false).modify(0x03, 0x00, 0x00, false);
    return *this;
  }
  // The answer as the chip reports it: `fifo` (FIFO contents), `lastBits` valid bits in the
  // last byte and the error register `error`; `capacity` is what the host asked for. A single
  // CRC-flagged byte of 4 or 8 bits is an ACK/NAK nibble, fetched before the error is cleared.
  TransceiveScript& answer(const std::vector<uint8_t>& fifo, uint8_t lastBits, uint8_t error,
                           uint16_t capacity) {
    read(0x0A, static_cast<uint8_t>(fifo.size())).read(0x0C, lastBits).read(0x06, error);
    const bool nibble = (error & 0x15) == 0x04 && fifo.size() == 1 && capacity >= 1 &&
                        (lastBits == 4 || lastBits == 0);
    if (nibble) read(0x09, fifo[0]);
    if (error != 0) write(0x06, 0x00);
    if (nibble) return *this;
    const size_t taken = std::min<size_t>(fifo.size(), capacity);
    readEach(0x09, std::vector<uint8_t>(fifo.begin(), fifo.begin() + taken));
    return *this;
  }
  TransceiveScript& cleanUp(uint8_t fired1) {
    write(0x04, fired1).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
    return *this;
  }

  TransceiveScript& transceive(const std::vector<uint8_t>& send, uint8_t bitFraming,
                               const std::vector<uint8_t>& fifo, uint8_t lastBits, uint8_t error,
                               uint16_t capacity) {
    start(send, bitFraming).poll(0x20).enablesOff().answer(fifo, lastBits, error, capacity);
    return cleanUp(0x20);
  }
  // Nobody answers: the chip's timer ends the wait.
  TransceiveScript& transceiveSilent(const std::vector<uint8_t>& send, uint8_t bitFraming = 0) {
    return start(send, bitFraming).poll(0x01).enablesOff().cleanUp(0x01);
  }
};

}  // namespace kvt::test
