#include "app/device_port_opener.h"

#include <cerrno>

#include "platform/com_ports.h"
#include "platform/posix_serial_port.h"
#include "sim/simulated_port.h"

namespace kvt::app {

int PortNameIndex(const std::string& portName) {
  if (portName.size() != 5 || portName.compare(0, 3, "COM") != 0 || portName[4] != ':') {
    return -1;
  }
  const int number = portName[3] - '0';
  return number >= 1 && number <= platform::kPortCount ? number - 1 : -1;
}

std::string DevicePortOpener::deviceFor(const std::string& portName) const {
  if (!override_.empty()) return override_;
  const int index = PortNameIndex(portName);
  return index < 0 ? std::string() : platform::deviceForPort(index, startFile_);
}

sim::Kv380& DevicePortOpener::simulatedChip() {
  if (chip_ == nullptr) {
    chip_ = std::make_unique<sim::Kv380>();
    if (setup_) setup_(*chip_);
  }
  return *chip_;
}

PortOpener::Opened DevicePortOpener::open(const std::string& portName) {
  const std::string device = deviceFor(portName);
  Opened opened;
  if (device == platform::kSimulatedDevice) {
    opened.port = std::make_unique<sim::SimulatedPort>(simulatedChip());
    return opened;
  }
  if (device.empty()) {
    opened.errorCode = ENOENT;
    return opened;
  }
  opened.port = platform::openSerialDevice(device, &opened.errorCode);
  return opened;
}

int DevicePortOpener::verify(const std::string& portName) {
  const std::string device = deviceFor(portName);
  if (device == platform::kSimulatedDevice) return 0;
  if (device.empty()) return ENOENT;
  return platform::verifySerialDevice(device);
}

}  // namespace kvt::app
