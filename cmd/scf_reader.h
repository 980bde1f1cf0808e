#pragma once

#include <cstdio>
#include <string>

namespace kvt::cmd {

// Reads a command file line by line as the C library's text mode does on the bench PCs the
// files come from: CR LF reads as LF, and a line is read in pieces of at most 199 characters
// (the line feed included), each piece counting as a line of its own.
class ScfReader {
 public:
  static constexpr std::size_t kPieceLength = 199;

  ScfReader() = default;
  ~ScfReader() { close(); }
  ScfReader(const ScfReader&) = delete;
  ScfReader& operator=(const ScfReader&) = delete;

  bool open(const std::string& path);
  void close();
  // The next piece, its line feed included when it was reached; false at the end of the file
  // (nothing could be read).
  bool readLine(std::string& piece);
  // Back to the first line.
  void rewind();

 private:
  std::FILE* file_ = nullptr;
};

// True when `path` can be opened for reading.
bool CanRead(const std::string& path);

}  // namespace kvt::cmd
