#pragma once

#include <string>
#include <string_view>

// Replacing a whole file so that a crash, a full disk or a power cut leaves either the old file
// or the new one, never a part of either.
namespace kvt::platform {

// Writes `content` to a temporary file of a unique name beside `path`, flushes it to the disk,
// renames it over `path` and flushes the folder. An existing file keeps its permissions; a
// symbolic link stays a link and the file it leads to is replaced. False when any step fails;
// the old file is then as it was and no temporary file is left behind.
bool ReplaceFile(const std::string& path, std::string_view content);

}  // namespace kvt::platform
