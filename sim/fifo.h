#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace kvt::sim {

// The chip's 64-byte FIFO between the host interface and the command unit.
class Fifo {
 public:
  static constexpr size_t kCapacity = 64;

  // Appends a byte; false (and the byte is lost) when the FIFO is full.
  bool push(uint8_t byte);
  // Takes the oldest byte; an empty FIFO reads 0.
  uint8_t pop();
  // The oldest byte without taking it (0 when empty).
  uint8_t front() const { return bytes_.empty() ? 0 : bytes_.front(); }
  // Takes everything, oldest first.
  std::vector<uint8_t> drain();
  void flush() { bytes_.clear(); }
  size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }

 private:
  std::deque<uint8_t> bytes_;
};

}  // namespace kvt::sim
