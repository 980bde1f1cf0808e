#include "cli/wiring/tracing_port_opener.h"

#include "chip/tracing_port.h"

namespace kvt::wiring {

app::PortOpener::Opened TracingPortOpener::open(const std::string& portName) {
  Opened opened = opener_.open(portName);
  if (opened.port != nullptr) {
    trace_.note("opened " + portName + " (" + opener_.describe(portName) + ")");
    opened.port = std::make_unique<chip::TracingPort>(std::move(opened.port), trace_);
  }
  return opened;
}

}  // namespace kvt::wiring
