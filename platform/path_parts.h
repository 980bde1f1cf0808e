#pragma once

#include <string>
#include <string_view>

namespace kvt::platform {

// A path cut into the four parts engineers know from _splitpath: "C:" + "\dir\sub\" + "name" +
// ".ext". Both '/' and '\' separate folders on every platform; a drive is a letter and a colon
// at the start. Joining the parts again gives the original path.
struct PathParts {
  std::string drive;      // "C:" or empty
  std::string directory;  // up to and including the last separator, or empty
  std::string name;       // the file name without its extension
  std::string extension;  // from the last '.' of the file name, dot included, or empty
};

PathParts SplitPath(std::string_view path);
std::string JoinPath(const PathParts& parts);

}  // namespace kvt::platform
