#include "sim/fifo.h"

namespace kvt::sim {

bool Fifo::push(uint8_t byte) {
  if (bytes_.size() >= kCapacity) return false;
  bytes_.push_back(byte);
  return true;
}

uint8_t Fifo::pop() {
  if (bytes_.empty()) return 0;
  const uint8_t byte = bytes_.front();
  bytes_.pop_front();
  return byte;
}

std::vector<uint8_t> Fifo::drain() {
  std::vector<uint8_t> all(bytes_.begin(), bytes_.end());
  bytes_.clear();
  return all;
}

}  // namespace kvt::sim
