#include "platform/port_name.h"

#include "platform/com_ports.h"

namespace kvt::platform {

namespace {

bool sameLetter(char typed, char upper, PortNameSpelling spelling) {
  if (spelling == PortNameSpelling::Exact) return typed == upper;
  return typed == upper || typed == upper - 'A' + 'a';
}

}  // namespace

int PortNameIndex(std::string_view name, PortNameSpelling spelling) {
  if (name.ends_with(':')) {
    name.remove_suffix(1);
  } else if (spelling == PortNameSpelling::Exact) {
    return -1;
  }
  if (name.size() != 4 || !sameLetter(name[0], 'C', spelling) ||
      !sameLetter(name[1], 'O', spelling) || !sameLetter(name[2], 'M', spelling)) {
    return -1;
  }
  const int number = name[3] - '0';
  return number >= 1 && number <= kPortCount ? number - 1 : -1;
}

}  // namespace kvt::platform
