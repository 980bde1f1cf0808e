#include "platform/com_ports.h"

#include "platform/profile.h"

namespace kvt::platform {

std::string deviceForPort(int index, const std::string& startFile) {
  if (index < 0 || index >= kPortCount) return {};
  const std::string number = std::to_string(index + 1);
#ifdef _WIN32
  const std::string fallback = "\\\\.\\COM" + number;
#else
  const std::string fallback = "/dev/ttyS" + std::to_string(index);
#endif
  std::string device = GetPrivateProfileString("Ports", "COM" + number, "", startFile);
  return device.empty() ? fallback : device;
}

}  // namespace kvt::platform
