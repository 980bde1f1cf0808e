#include "platform/native_names.h"

namespace kvt::platform {

const char kPathSeparator = '/';
const char* const kDefaultInputPath = "./";

std::string defaultPortDevice(int index) { return "/dev/ttyS" + std::to_string(index); }

}  // namespace kvt::platform
