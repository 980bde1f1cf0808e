#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace kvt::cmd {

// The largest command file read: far beyond any script written by hand or generated for a
// test rack (a 5000-line file is about 150 KB), small enough to hold in memory. Reading stops
// there, so a device that never ends (/dev/zero) cannot take the program with it.
constexpr std::size_t kMaxCommandFileSize = 16u * 1024u * 1024u;

// Why a command file could not be taken.
enum class CommandFileError { None, NotFound, NotRegular, TooLarge, Unreadable };

// A few words for `error` ("not a regular file" ...), to follow the file's name.
const char* DescribeCommandFileError(CommandFileError error);

// Reads a whole command file into `text`. Only regular files are read: a FIFO without a
// writer would block for ever and a device may never end. A folder is not found.
CommandFileError ReadCommandFile(const std::string& path, std::string& text);
// Reads a whole stream (standard input for "run -") into `text`, at most kMaxCommandFileSize.
CommandFileError ReadCommandStream(std::istream& in, std::string& text);

// Reads a command file line by line as the C library's text mode does on the bench PCs the
// files come from: CR LF reads as LF, and a line is read in pieces of at most 199 characters
// (the line feed included), each piece counting as a line of its own. The file is read whole
// when it is opened, so a jump rewinds in memory.
class ScfReader {
 public:
  static constexpr std::size_t kPieceLength = 199;

  // False when the file cannot be read (see ReadCommandFile).
  bool open(const std::string& path);
  // Reads `text` as the content of a file.
  void openText(std::string text);
  // The next piece, its line feed included when it was reached; false at the end of the file
  // (nothing could be read).
  bool readLine(std::string& piece);
  // Back to the first line.
  void rewind() { next_ = 0; }

 private:
  std::string text_;
  std::size_t next_ = 0;
};

// True when `path` names a regular file that can be opened for reading.
bool CanRead(const std::string& path);

}  // namespace kvt::cmd
