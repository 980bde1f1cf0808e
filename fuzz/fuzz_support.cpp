#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "fuzz/fuzz_target.h"

namespace kvt::fuzz {

bool NamesSaveLog(std::string_view text) {
  for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) == 'S' &&
        std::toupper(static_cast<unsigned char>(text[i + 1])) == 'A' &&
        std::toupper(static_cast<unsigned char>(text[i + 2])) == 'V') {
      return true;
    }
  }
  return false;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos;
       start = end + 1) {
    pieces.emplace_back(text.substr(start, end - start));
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

namespace {

std::string& folderName() {
  static std::string name;
  return name;
}

void removeFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(folderName(), ignored);
}

}  // namespace

const std::string& PrivateFolder() {
  std::string& folder = folderName();
  if (folder.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::filesystem::current_path(pattern);
    folder = pattern;
    std::atexit(removeFolder);
  }
  return folder;
}

}  // namespace kvt::fuzz
