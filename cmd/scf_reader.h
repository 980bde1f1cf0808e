#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <istream>
#include <string>

namespace kvt::cmd {

// The most read from standard input, which is held in memory for jumps: far beyond any script
// written by hand or generated for a test rack (a 5000-line file is about 150 KB). Reading
// stops there, so an input that never ends cannot take the program with it.
constexpr std::size_t kMaxCommandFileSize = 16u * 1024u * 1024u;

// Why a command file could not be taken.
enum class CommandFileError { None, NotFound, NotRegular, TooLarge, Unreadable };

// A few words for `error` ("not a regular file" ...), to follow the file's name.
const char* DescribeCommandFileError(CommandFileError error);

// Reads a whole stream (standard input for "run -") into `text`, at most kMaxCommandFileSize.
CommandFileError ReadCommandStream(std::istream& in, std::string& text);

// Reads a command file line by line as the C library's text mode does on the bench PCs the
// files come from: CR LF reads as LF, and a line is read in pieces of at most 199 characters
// (the line feed included), each piece counting as a line of its own. A named file is read in
// blocks as the run goes, so memory does not grow with its length; a jump seeks.
class ScfReader {
 public:
  static constexpr std::size_t kPieceLength = 199;

  // False when the file cannot be read (see CheckCommandFile).
  bool open(const std::string& path);
  // Reads `text` as the content of a file.
  void openText(std::string text);
  // The next piece, its line feed included when it was reached; false at the end of the file
  // (nothing could be read).
  bool readLine(std::string& piece);
  // Where the next piece starts, for seek().
  std::uint64_t position() const { return blockStart_ + next_; }
  // Continues reading at a position() given before.
  void seek(std::uint64_t position);
  // Back to the first line.
  void rewind() { seek(0); }

 private:
  bool nextCharacter(char& c);
  bool fill();

  std::ifstream file_;
  bool streaming_ = false;
  std::string block_;             // the whole text, or the block of the file read last
  std::uint64_t blockStart_ = 0;  // where block_ starts in the file
  std::size_t next_ = 0;          // the next character in block_
};

// Whether `path` can be run, without reading it. Only regular files are read: a FIFO without
// a writer would block for ever and a device may never end. A folder is not found.
CommandFileError CheckCommandFile(const std::string& path);

// True when `path` names a regular file that can be opened for reading.
bool CanRead(const std::string& path);

}  // namespace kvt::cmd
