#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "platform/shell.h"

namespace kvt::cli {

// Reads the lines of `kvt-cli shell`. On a terminal (and with libedit available) the line can
// be edited, and Up/Down ask `browse` for the history entry to show; the prompt goes to
// standard error, so standard output keeps only the log. Otherwise lines are read plainly from
// `in`, without a prompt.
class LineEditor {
 public:
  using Browse = std::function<std::optional<std::string>(platform::Key)>;

  LineEditor(std::istream& in, bool interactive, Browse browse);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // The next line without its line end; false at the end of the input.
  bool read(std::string& line);
  // True when lines are edited on a terminal.
  bool editing() const;

 private:
  struct Terminal;
  std::istream& in_;
  Browse browse_;
  std::unique_ptr<Terminal> terminal_;
};

}  // namespace kvt::cli
