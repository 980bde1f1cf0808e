#pragma once

#include <cstdint>

#include "chip/register_control.h"
#include "chip/register_tables.h"

namespace kvt::chip {

// Register access from a component: each call is one RegisterControl operation on the
// component's lower record and returns the access's status.
class RegisterSequence {
 public:
  explicit RegisterSequence(RegisterControlRecord* lower) : lower_(lower) {}

  Status read(uint8_t address, uint8_t& value);
  Status write(uint8_t address, uint8_t value);
  // Sets (or clears) the `mask` bits: a read and a write.
  Status modify(uint8_t address, uint8_t mask, bool set);
  // Reads the register and writes (old AND andMask) OR orValue.
  Status update(uint8_t address, uint8_t andMask, uint8_t orValue);
  // Reads or writes `length` bytes at one address (the FIFO).
  Status readMultiple(uint8_t address, uint8_t* buffer, uint16_t length);
  Status writeMultiple(uint8_t address, const uint8_t* buffer, uint16_t length);
  // Applies a table up to its end marker, stopping at the first failure.
  Status applyTable(const RegisterSetting* table);

  RegisterControlRecord* lower() const { return lower_; }

 private:
  RegisterControlRecord* lower_;
};

}  // namespace kvt::chip
