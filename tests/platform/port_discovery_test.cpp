#include "platform/port_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace kvt::platform {
namespace {

// The ports depend on the machine; what holds everywhere is that each entry names a device
// that exists, once, in order, and that only USB entries carry USB details.
TEST(PortDiscovery, ListsExistingDevicesOnceInNameOrder) {
  const std::vector<DiscoveredPort> ports = listSerialPorts();
  EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(),
                             [](const auto& a, const auto& b) { return a.name < b.name; }));
  EXPECT_EQ(std::adjacent_find(ports.begin(), ports.end(),
                               [](const auto& a, const auto& b) { return a.name == b.name; }),
            ports.end());
  for (const DiscoveredPort& port : ports) {
    EXPECT_TRUE(std::filesystem::exists(port.name)) << port.name;
    if (port.transport != DiscoveredPort::Transport::Usb) {
      EXPECT_TRUE(port.usbManufacturer.empty() && port.usbProduct.empty() &&
                  port.usbSerial.empty() && !port.usbVendorId && !port.usbProductId)
          << port.name;
    }
  }
}

}  // namespace
}  // namespace kvt::platform
