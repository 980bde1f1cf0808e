#pragma once

#include <optional>
#include <string>
#include <vector>

// The serial ports this machine has, for showing the user which device is which.
namespace kvt::platform {

struct DiscoveredPort {
  enum class Transport { Native, Usb, Bluetooth };
  std::string name;         // the device to open, e.g. /dev/ttyUSB0
  std::string description;  // the system's one-line description; may be empty
  Transport transport = Transport::Native;
  // USB adapters only, where the system knows them (empty otherwise).
  std::string usbManufacturer;
  std::string usbProduct;
  std::string usbSerial;
  std::optional<int> usbVendorId;
  std::optional<int> usbProductId;
};

// Every port the system lists, sorted by name; an empty list when there is none or listing
// fails. Pseudo-terminals (kvt-sim) are not listed: open them by path.
std::vector<DiscoveredPort> listSerialPorts();

}  // namespace kvt::platform
