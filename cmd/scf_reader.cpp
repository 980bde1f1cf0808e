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

CommandFileError CheckCommandFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status) || fs::is_directory(status)) return CommandFileError::NotFound;
  if (!fs::is_regular_file(status)) return CommandFileError::NotRegular;
  std::ifstream file(path, std::ios::binary);
  return file ? CommandFileError::None : CommandFileError::Unreadable;
}

bool ScfReader::open(const std::string& path) {
  if (CheckCommandFile(path) != CommandFileError::None) return false;
  file_ = std::ifstream(path, std::ios::binary);
  if (!file_) return false;
  streaming_ = true;
  block_.clear();
  blockStart_ = 0;
  next_ = 0;
  return true;
}

void ScfReader::openText(std::string text) {
  file_ = std::ifstream();
  streaming_ = false;
  block_ = std::move(text);
  blockStart_ = 0;
  next_ = 0;
}

bool ScfReader::fill() {
  if (!streaming_) return false;
  constexpr std::size_t kBlockSize = 65536;
  blockStart_ += block_.size();
  block_.resize(kBlockSize);
  file_.read(block_.data(), static_cast<std::streamsize>(kBlockSize));
  block_.resize(static_cast<std::size_t>(file_.gcount()));
  next_ = 0;
  return !block_.empty();
}

void ScfReader::seek(std::uint64_t position) {
  if (position >= blockStart_ && position - blockStart_ <= block_.size()) {
    next_ = static_cast<std::size_t>(position - blockStart_);
    return;
  }
  if (!streaming_) return;
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(position));
  block_.clear();
  blockStart_ = position;
  next_ = 0;
}

bool ScfReader::nextCharacter(char& c) {
  if (next_ == block_.size() && !fill()) return false;
  c = block_[next_++];
  return true;
}

bool ScfReader::readLine(std::string& piece) {
  piece.clear();
  char c = 0;
  while (piece.size() < kPieceLength && nextCharacter(c)) {
    if (c == '\r') {
      // CR LF reads as LF; the look ahead may cross into the next block.
      char following = 0;
      if (nextCharacter(following)) {
        if (following == '\n') {
          c = '\n';
        } else {
          --next_;
        }
      }
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
