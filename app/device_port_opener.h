#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/port_opener.h"

namespace kvt::app {

// The program's port opener: "COMn:" opens the device the section "Ports" of the start-up
// file names (or the platform's default device for COMn); the device "sim" opens a port on
// the simulated chip that the program hands in (see setSimulatedPorts). Without one, "sim"
// fails like a missing device.
class DevicePortOpener final : public PortOpener {
 public:
  // Makes a new port on the program's simulated chip; the chip outlives the ports it makes.
  using SimulatedPorts = std::function<std::unique_ptr<platform::SerialPort>()>;

  explicit DevicePortOpener(std::string startFile) : startFile_(std::move(startFile)) {}

  // Every port name opens `device` instead ("sim" or a device path); empty: back to the map.
  void setDeviceOverride(std::string device) { override_ = std::move(device); }
  // What the device "sim" opens.
  void setSimulatedPorts(SimulatedPorts ports) { simulatedPorts_ = std::move(ports); }

  Opened open(const std::string& portName) override;
  int verify(const std::string& portName) override;
  std::string describe(const std::string& portName) override { return deviceFor(portName); }

 private:
  std::string deviceFor(const std::string& portName) const;

  std::string startFile_;
  std::string override_;
  SimulatedPorts simulatedPorts_;
};

}  // namespace kvt::app
