#include "platform/native_names.h"

namespace kvt::platform {

const char kPathSeparator = '\\';
const char* const kDefaultInputPath = "C:\\";

std::string defaultPortDevice(int index) { return "\\\\.\\COM" + std::to_string(index + 1); }

}  // namespace kvt::platform
