#pragma once

#include <memory>

#include "chip/line_trace.h"
#include "platform/serial_port.h"

namespace kvt::chip {

// A port that passes everything to the port it wraps and records the bytes that moved, the
// read time-outs, rate changes and a lost port in a LineTrace. The trace is written after
// each transfer returns, so the bytes on the line keep their timing.
class TracingPort final : public platform::SerialPort {
 public:
  TracingPort(std::unique_ptr<platform::SerialPort> port, LineTrace& trace)
      : port_(std::move(port)), trace_(trace) {}

  platform::IoResult writeByte(uint8_t byte) override;
  platform::IoResult writeBytes(const uint8_t* bytes, size_t count, size_t& moved) override;
  platform::IoResult readByte(uint8_t& byte) override;
  bool setLineSettings(uint32_t rate) override;
  void purge() override { port_->purge(); }
  std::optional<bool> ringIndicator() override { return port_->ringIndicator(); }
  bool lost() const override { return port_->lost(); }

 private:
  void failed(platform::IoResult result);

  std::unique_ptr<platform::SerialPort> port_;
  LineTrace& trace_;
  bool lostTold_ = false;
};

}  // namespace kvt::chip
