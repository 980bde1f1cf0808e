#include "app/device_port_opener.h"

#include <cerrno>

#include "platform/com_ports.h"
#include "platform/port_name.h"
#include "platform/posix_serial_port.h"

namespace kvt::app {

std::string DevicePortOpener::deviceFor(const std::string& portName) const {
  if (!override_.empty()) return override_;
  const int index = platform::PortNameIndex(portName);
  return index < 0 ? std::string() : platform::deviceForPort(index, startFile_);
}

PortOpener::Opened DevicePortOpener::open(const std::string& portName) {
  const std::string device = deviceFor(portName);
  Opened opened;
  if (device == platform::kSimulatedDevice && simulatedPorts_) {
    opened.port = simulatedPorts_();
    return opened;
  }
  if (device.empty() || device == platform::kSimulatedDevice) {
    opened.errorCode = ENOENT;
    return opened;
  }
  opened.port = platform::openSerialDevice(device, &opened.errorCode);
  return opened;
}

int DevicePortOpener::verify(const std::string& portName) {
  const std::string device = deviceFor(portName);
  if (device == platform::kSimulatedDevice && simulatedPorts_) return 0;
  if (device.empty() || device == platform::kSimulatedDevice) return ENOENT;
  return platform::verifySerialDevice(device);
}

}  // namespace kvt::app
