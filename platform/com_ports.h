#pragma once

#include <string>

// Which device each of the port names "COM1:" to "COM8:" opens. The names stay what the user
// sees and what the start-up file stores; the section "Ports" of the start-up file maps them
// to devices, for example
//   [Ports]
//   COM1=/dev/ttyUSB0
//   COM2=sim
namespace kvt::platform {

constexpr int kPortCount = 8;
// The device value that stands for the built-in simulated chip.
constexpr const char* kSimulatedDevice = "sim";

// The device for port `index` (0 = "COM1:" ... 7 = "COM8:"): the value of key "COM<n>" in
// section "Ports" of `startFile`; without an entry /dev/ttyS<n-1> (Linux and other POSIX
// systems) or \\.\COM<n> (Windows). "sim" is returned as it is. An index outside 0..7 gives
// an empty string, which opens nothing.
std::string deviceForPort(int index, const std::string& startFile);

}  // namespace kvt::platform
