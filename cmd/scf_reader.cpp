#include "cmd/scf_reader.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace kvt::cmd {

const char* DescribeCommandFileError(CommandFileError error) {
  switch (error) {
    case CommandFileError::None:
      return "read";
    case CommandFileError::NotFound:
      return "not found";
    case CommandFileError::NotRegular:
      return "not a regular file";
    case CommandFileError::TooLarge:
      return "larger than 16 MiB";
    case CommandFileError::Unreadable:
      return "read error";
  }
  return "read error";
}

CommandFileError ReadCommandStream(std::istream& in, std::string& text) {
  text.clear();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const auto count = static_cast<std::size_t>(in.gcount());
    if (text.size() + count > kMaxCommandFileSize) return CommandFileError::TooLarge;
    text.append(buffer, count);
  }
  return in.bad() ? CommandFileError::Unreadable : CommandFileError::None;
}

CommandFileError ReadCommandFile(const std::string& path, std::string& text) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status) || fs::is_directory(status)) return CommandFileError::NotFound;
  if (!fs::is_regular_file(status)) return CommandFileError::NotRegular;
  std::ifstream file(path, std::ios::binary);
  if (!file) return CommandFileError::Unreadable;
  return ReadCommandStream(file, text);
}

bool ScfReader::open(const std::string& path) {
  std::string text;
  if (ReadCommandFile(path, text) != CommandFileError::None) return false;
  openText(std::move(text));
  return true;
}

void ScfReader::openText(std::string text) {
  text_ = std::move(text);
  next_ = 0;
}

bool ScfReader::readLine(std::string& piece) {
  piece.clear();
  while (piece.size() < kPieceLength && next_ < text_.size()) {
    char c = text_[next_++];
    if (c == '\r' && next_ < text_.size() && text_[next_] == '\n') {
      c = '\n';
      ++next_;
    }
    piece.push_back(c);
    if (c == '\n') break;
  }
  return !piece.empty();
}

bool CanRead(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  return static_cast<bool>(std::ifstream(path, std::ios::binary));
}

}  // namespace kvt::cmd
