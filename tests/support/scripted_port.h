#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "platform/serial_port.h"

namespace kvt::test {

// A serial port whose far end is a script: the bytes the chip answers are queued up front
// and everything the host writes is recorded, so tests can assert the traffic byte for byte.
// An empty answer queue behaves like a silent chip (the read times out at once).
class ScriptedPort final : public platform::SerialPort {
 public:
  void answer(std::initializer_list<uint8_t> bytes) { answers_.insert(answers_.end(), bytes); }
  void answerByte(uint8_t byte) { answers_.push_back(byte); }
  // After `count` more successful writes, writes report that nothing moved.
  void refuseWritesAfter(int count) { writesLeft_ = count; }
  void disconnect() { lost_ = true; }

  const std::vector<uint8_t>& written() const { return written_; }
  std::vector<uint8_t> takeWritten() { return std::exchange(written_, {}); }
  int reads() const { return reads_; }
  int timedOutReads() const { return timedOutReads_; }
  uint32_t rate() const { return rate_; }
  int purges() const { return purges_; }

  platform::IoResult writeByte(uint8_t byte) override {
    if (lost_) return platform::IoResult::Failed;
    if (writesLeft_ == 0) return platform::IoResult::NothingMoved;
    if (writesLeft_ > 0) --writesLeft_;
    written_.push_back(byte);
    return platform::IoResult::Ok;
  }
  platform::IoResult readByte(uint8_t& byte) override {
    if (lost_) return platform::IoResult::Failed;
    ++reads_;
    if (answers_.empty()) {
      ++timedOutReads_;
      return platform::IoResult::NothingMoved;
    }
    byte = answers_.front();
    answers_.pop_front();
    return platform::IoResult::Ok;
  }
  bool setLineSettings(uint32_t rate) override {
    rate_ = rate;
    return true;
  }
  void purge() override { ++purges_; }
  std::optional<bool> ringIndicator() override { return ring; }
  bool lost() const override { return lost_; }

  std::optional<bool> ring;

 private:
  std::deque<uint8_t> answers_;
  std::vector<uint8_t> written_;
  int writesLeft_ = -1;
  int reads_ = 0;
  int timedOutReads_ = 0;
  uint32_t rate_ = 9600;
  int purges_ = 0;
  bool lost_ = false;
};

}  // namespace kvt::test
