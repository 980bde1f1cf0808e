#include "cmd/scf_reader.h"

#include <filesystem>
#include <system_error>

namespace kvt::cmd {

namespace {
// fopen accepts a folder on POSIX systems; reading it then fails.
bool isFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}
}  // namespace

bool ScfReader::open(const std::string& path) {
  close();
  if (isFolder(path)) return false;
  file_ = std::fopen(path.c_str(), "rb");
  return file_ != nullptr;
}

void ScfReader::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool ScfReader::readLine(std::string& piece) {
  piece.clear();
  if (file_ == nullptr) return false;
  while (piece.size() < kPieceLength) {
    int c = std::fgetc(file_);
    if (c == EOF) break;
    if (c == '\r') {
      const int next = std::fgetc(file_);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, file_);
      }
    }
    piece.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !piece.empty();
}

void ScfReader::rewind() {
  if (file_ != nullptr) std::rewind(file_);
}

bool CanRead(const std::string& path) {
  if (isFolder(path)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace kvt::cmd
