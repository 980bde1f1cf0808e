#pragma once

#include <string>

#include "app/port_opener.h"
#include "chip/line_trace.h"

namespace kvt::wiring {

// Opens ports with another opener and records their traffic in `trace` (--trace).
class TracingPortOpener final : public app::PortOpener {
 public:
  TracingPortOpener(app::PortOpener& opener, chip::LineTrace& trace)
      : opener_(opener), trace_(trace) {}

  Opened open(const std::string& portName) override;
  int verify(const std::string& portName) override { return opener_.verify(portName); }
  std::string describe(const std::string& portName) override { return opener_.describe(portName); }

 private:
  app::PortOpener& opener_;
  chip::LineTrace& trace_;
};

}  // namespace kvt::wiring
