#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace kvt::cli {

// Reads the lines of `kvt-cli shell`. On a terminal (and with libedit available) the line can
// be edited: Up/Down ask `browse` for the history entry to show, Tab completes the word before
// the cursor from `words`, Ctrl-C empties the line and starts a new one, Ctrl-D on an empty
// line ends the input. The prompt goes to standard error, so standard output keeps only the
// log. Otherwise lines are read plainly from `in`, without a prompt.
class LineEditor {
 public:
  using Browse = std::function<std::optional<std::string>(platform::Key)>;
  using Words = std::function<std::vector<std::string>()>;

  LineEditor(std::istream& in, bool interactive, Browse browse, Words words);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // The next line without its line end; false at the end of the input. A line cut short by
  // Ctrl-C reads as an empty line with `interrupted` set.
  bool read(std::string& line, bool& interrupted);
  // The next line starts with `text` already typed (for correcting a line that failed).
  void prefill(const std::string& text);
  // True when lines are edited on a terminal.
  bool editing() const;

 private:
  struct Terminal;
  std::istream& in_;
  Browse browse_;
  Words words_;
  std::unique_ptr<Terminal> terminal_;
};

// Case-insensitive completions of `prefix` among `words`: the longest text every match starts
// with, and the matches. An empty text when nothing matches.
struct Completion {
  std::string common;
  std::vector<std::string> matches;
};
Completion Complete(const std::string& prefix, const std::vector<std::string>& words);

}  // namespace kvt::cli
