#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "support/scripted_port.h"

namespace kvt::test {

// Builds the register traffic a chip operation must produce (normal address layout) and
// queues the chip's side of it on a ScriptedPort: the value of every read, the echo of every
// write. Tests then compare `expected()` with what the host wrote, byte for byte.
class RegisterScript {
 public:
  explicit RegisterScript(ScriptedPort& port) : port_(port) {}

  // A read of `address` that the chip answers with `value`.
  RegisterScript& read(uint8_t address, uint8_t value) {
    expected_.push_back(static_cast<uint8_t>(address | 0x80));
    port_.answerByte(value);
    return *this;
  }
  // A write of `value` to `address`, echoed by the chip.
  RegisterScript& write(uint8_t address, uint8_t value) {
    expected_.push_back(address);
    expected_.push_back(value);
    port_.answerByte(address);
    return *this;
  }
  // A read-modify-write of the `mask` bits of a register holding `old`.
  RegisterScript& modify(uint8_t address, uint8_t old, uint8_t mask, bool set) {
    read(address, old);
    return write(address, set ? static_cast<uint8_t>(old | mask)
                              : static_cast<uint8_t>(old & ~mask));
  }
  // Reads of one register answered by `values` in turn.
  RegisterScript& readEach(uint8_t address, std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) read(address, v);
    return *this;
  }
  RegisterScript& readEach(uint8_t address, const std::vector<uint8_t>& values) {
    for (uint8_t v : values) read(address, v);
    return *this;
  }
  // Writes of `values` to one register, one transaction each.
  RegisterScript& writeEach(uint8_t address, std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) write(address, v);
    return *this;
  }
  RegisterScript& writeEach(uint8_t address, const std::vector<uint8_t>& values) {
    for (uint8_t v : values) write(address, v);
    return *this;
  }

  const std::vector<uint8_t>& expected() const { return expected_; }

 private:
  ScriptedPort& port_;
  std::vector<uint8_t> expected_;
};

}  // namespace kvt::test
