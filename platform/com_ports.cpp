#include "platform/com_ports.h"

#include "platform/native_names.h"
#include "platform/profile.h"

namespace kvt::platform {

std::string deviceForPort(int index, const std::string& startFile) {
  if (index < 0 || index >= kPortCount) return {};
  std::string device =
      GetPrivateProfileString("Ports", "COM" + std::to_string(index + 1), "", startFile);
  return device.empty() ? defaultPortDevice(index) : device;
}

}  // namespace kvt::platform
