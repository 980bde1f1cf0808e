#include "platform/port_discovery.h"

#include <libserialport.h>

#include <algorithm>

namespace kvt::platform {

namespace {
std::string text(const char* value) { return value ? value : ""; }

DiscoveredPort describe(const sp_port* port) {
  DiscoveredPort found;
  found.name = text(sp_get_port_name(port));
  found.description = text(sp_get_port_description(port));
  switch (sp_get_port_transport(port)) {
    case SP_TRANSPORT_USB: {
      found.transport = DiscoveredPort::Transport::Usb;
      found.usbManufacturer = text(sp_get_port_usb_manufacturer(port));
      found.usbProduct = text(sp_get_port_usb_product(port));
      found.usbSerial = text(sp_get_port_usb_serial(port));
      int vendor = 0;
      int product = 0;
      if (sp_get_port_usb_vid_pid(port, &vendor, &product) == SP_OK) {
        found.usbVendorId = vendor;
        found.usbProductId = product;
      }
      break;
    }
    case SP_TRANSPORT_BLUETOOTH:
      found.transport = DiscoveredPort::Transport::Bluetooth;
      break;
    case SP_TRANSPORT_NATIVE:
      break;
  }
  return found;
}
}  // namespace

std::vector<DiscoveredPort> listSerialPorts() {
  std::vector<DiscoveredPort> ports;
  sp_port** list = nullptr;
  if (sp_list_ports(&list) != SP_OK || list == nullptr) return ports;
  for (sp_port** entry = list; *entry != nullptr; ++entry) {
    DiscoveredPort found = describe(*entry);
    if (!found.name.empty()) ports.push_back(std::move(found));
  }
  sp_free_port_list(list);
  std::sort(ports.begin(), ports.end(),
            [](const DiscoveredPort& a, const DiscoveredPort& b) { return a.name < b.name; });
  return ports;
}

}  // namespace kvt::platform
