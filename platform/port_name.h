#pragma once

#include <string_view>

namespace kvt::platform {

enum class PortNameSpelling {
  Exact,  // only "COM1:" .. "COM8:", as the program shows and stores them
  Loose,  // also without the colon and in any case ("com3"), as a user types them
};

// The index 0..7 of the port name "COM1:" .. "COM8:"; -1 for anything else.
int PortNameIndex(std::string_view name, PortNameSpelling spelling = PortNameSpelling::Exact);

}  // namespace kvt::platform
