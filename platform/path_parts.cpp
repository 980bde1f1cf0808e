#include "platform/path_parts.h"

#include <cctype>

namespace kvt::platform {

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    parts.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  const auto lastSeparator = path.find_last_of("/\\");
  if (lastSeparator != std::string_view::npos) {
    parts.directory = std::string(path.substr(0, lastSeparator + 1));
    path.remove_prefix(lastSeparator + 1);
  }
  const auto lastDot = path.rfind('.');
  if (lastDot != std::string_view::npos) {
    parts.extension = std::string(path.substr(lastDot));
    path = path.substr(0, lastDot);
  }
  parts.name = std::string(path);
  return parts;
}

std::string JoinPath(const PathParts& parts) {
  return parts.drive + parts.directory + parts.name + parts.extension;
}

}  // namespace kvt::platform
