#include "chip/register_sequence.h"

namespace kvt::chip {

Status RegisterSequence::read(uint8_t address, uint8_t& value) {
  RegisterParams p{address, 0, lower_};
  const Status result = lower_->GetRegister(&p);
  value = p.value;
  return result;
}

Status RegisterSequence::write(uint8_t address, uint8_t value) {
  RegisterParams p{address, value, lower_};
  return lower_->SetRegister(&p);
}

Status RegisterSequence::modify(uint8_t address, uint8_t mask, bool set) {
  ModifyRegisterParams p{address, mask, static_cast<uint8_t>(set ? 1 : 0), lower_};
  return lower_->ModifyRegister(&p);
}

Status RegisterSequence::update(uint8_t address, uint8_t andMask, uint8_t orValue) {
  uint8_t old = 0;
  if (Status r = read(address, old)) return r;
  return write(address, static_cast<uint8_t>((old & andMask) | orValue));
}

Status RegisterSequence::readMultiple(uint8_t address, uint8_t* buffer, uint16_t length) {
  RegisterMultipleParams p{address, length, buffer, lower_};
  return lower_->GetRegisterMultiple(&p);
}

Status RegisterSequence::writeMultiple(uint8_t address, const uint8_t* buffer, uint16_t length) {
  // The operation only reads the buffer of a write.
  RegisterMultipleParams p{address, length, const_cast<uint8_t*>(buffer), lower_};
  return lower_->SetRegisterMultiple(&p);
}

Status RegisterSequence::applyTable(const RegisterSetting* table) {
  for (; table->address != kTableEnd; ++table) {
    if (Status r = update(table->address, table->andMask, table->orValue)) return r;
  }
  return status::Success;
}

}  // namespace kvt::chip
