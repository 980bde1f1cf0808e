#include "cli/shell_history.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/file_replace.h"

namespace kvt::cli {

std::string ShellHistoryPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/kvt/history";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/kvt/history";
  return {};
}

std::vector<std::string> LoadShellHistory(const std::string& path, std::size_t limit) {
  std::vector<std::string> lines;
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return lines;
  std::ifstream file(path, std::ios::binary);
  for (std::string line; std::getline(file, line);) {
    if (line.empty()) continue;
    lines.push_back(line);
  }
  if (lines.size() > limit) lines.erase(lines.begin(), lines.end() - static_cast<long>(limit));
  return lines;
}

bool SaveShellHistory(const std::string& path, const std::vector<std::string>& lines) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return platform::ReplaceFile(path, text);
}

}  // namespace kvt::cli
