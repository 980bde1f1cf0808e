#include "chip/tracing_port.h"

#include <string>

namespace kvt::chip {

using platform::IoResult;

void TracingPort::failed(IoResult result) {
  if (result != IoResult::Failed || !port_->lost() || lostTold_) return;
  lostTold_ = true;  // every later transfer fails the same way
  trace_.lost();
}

IoResult TracingPort::writeByte(uint8_t byte) {
  const IoResult result = port_->writeByte(byte);
  if (result == IoResult::Ok) trace_.hostByte(byte);
  failed(result);
  return result;
}

IoResult TracingPort::writeBytes(const uint8_t* bytes, size_t count, size_t& moved) {
  const IoResult result = port_->writeBytes(bytes, count, moved);
  for (size_t i = 0; i < moved; ++i) trace_.hostByte(bytes[i]);
  failed(result);
  return result;
}

IoResult TracingPort::readByte(uint8_t& byte) {
  const IoResult result = port_->readByte(byte);
  if (result == IoResult::Ok) trace_.chipByte(byte);
  if (result == IoResult::NothingMoved) trace_.noAnswer();
  failed(result);
  return result;
}

bool TracingPort::setLineSettings(uint32_t rate) {
  const bool set = port_->setLineSettings(rate);
  trace_.note("line at " + std::to_string(rate) + " bit/s" + (set ? "" : ": refused"));
  return set;
}

}  // namespace kvt::chip
