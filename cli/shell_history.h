#pragma once

#include <string>
#include <vector>

namespace kvt::cli {

// The shell's command history between sessions: the lines the command line keeps, one a line,
// in "$XDG_STATE_HOME/kvt/history" (without XDG_STATE_HOME: ~/.local/state/kvt/history).
// Empty when neither variable names a folder.
std::string ShellHistoryPath();

// The last `limit` lines of the file; none when it cannot be read.
std::vector<std::string> LoadShellHistory(const std::string& path, std::size_t limit);
// Replaces the file with `lines`, making its folder first. False when it could not be written.
bool SaveShellHistory(const std::string& path, const std::vector<std::string>& lines);

}  // namespace kvt::cli
