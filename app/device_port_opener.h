#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/port_opener.h"
#include "sim/kv380.h"

namespace kvt::app {

// The program's port opener: "COMn:" opens the device the section "Ports" of the start-up
// file names (or the platform's default device for COMn); the device "sim" is the built-in
// simulated chip. The simulated chip is made at its first open and lives as long as the
// opener, so it keeps its registers (and its line speed) across a close and a reopen, as a
// real chip does. Ports it hands out must be released before the opener goes.
class DevicePortOpener final : public PortOpener {
 public:
  using SimulatorSetup = std::function<void(sim::Kv380&)>;

  explicit DevicePortOpener(std::string startFile) : startFile_(std::move(startFile)) {}

  // Every port name opens `device` instead ("sim" or a device path); empty: back to the map.
  void setDeviceOverride(std::string device) { override_ = std::move(device); }
  // Runs once on the simulated chip when it is made (puts cards in its field, for example).
  void setSimulatorSetup(SimulatorSetup setup) { setup_ = std::move(setup); }
  // The simulated chip, made on demand.
  sim::Kv380& simulatedChip();

  Opened open(const std::string& portName) override;
  int verify(const std::string& portName) override;
  std::string describe(const std::string& portName) override { return deviceFor(portName); }

 private:
  std::string deviceFor(const std::string& portName) const;

  std::string startFile_;
  std::string override_;
  SimulatorSetup setup_;
  std::unique_ptr<sim::Kv380> chip_;
};

// 0 for "COM1:" .. 7 for "COM8:"; -1 for anything else.
int PortNameIndex(const std::string& portName);

}  // namespace kvt::app
