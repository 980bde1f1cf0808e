#include <ostream>

#include "app/startup.h"
#include "cli/session.h"
#include "cli/subcommands.h"
#include "platform/com_ports.h"
#include "platform/port_discovery.h"

namespace kvt::cli {

namespace {

std::string checkPorts(const std::vector<std::string>& arguments) {
  return arguments.empty() ? std::string() : "ports takes no arguments";
}

// The ports the system lists, then which device each of COM1: .. COM8: opens.
int ports(Session& session, const std::vector<std::string>&) {
  std::ostream& out = session.out();
  out << "Serial ports found:\n";
  const auto found = platform::listSerialPorts();
  if (found.empty()) out << "  (none)\n";
  for (const platform::DiscoveredPort& port : found) {
    out << "  " << port.name;
    if (!port.description.empty()) out << "  " << port.description;
    if (!port.usbManufacturer.empty() || !port.usbProduct.empty()) {
      out << "  (USB: " << port.usbManufacturer;
      if (!port.usbManufacturer.empty() && !port.usbProduct.empty()) out << " / ";
      out << port.usbProduct << ")";
    }
    out << "\n";
  }
  out << "Port names (section [Ports] of " << session.state().startFilePath << "):\n";
  const int startPort = app::ReadPortIndex(session.state().startFilePath);
  for (int index = 0; index < platform::kPortCount; ++index) {
    const std::string device = platform::deviceForPort(index, session.state().startFilePath);
    out << "  " << session.state().portNames[static_cast<size_t>(index)] << " "
        << (device == platform::kSimulatedDevice ? "sim (the built-in simulated chip)" : device)
        << (index == startPort ? "  <- the start-up file's port" : "") << "\n";
  }
  out.flush();
  return 0;
}

}  // namespace

constinit const Subcommand kPortsCommand{
    "ports", "", "list the serial ports and the COMn mapping", false, checkPorts, ports};

}  // namespace kvt::cli
