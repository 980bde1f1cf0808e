#pragma once

#include <array>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "testlog/pattern_file.h"

// The pattern file and the operation templates of one installed generator, kept for the run:
// opening and closing the file (and looking for three templates) for every register access
// cost far more than the pattern text itself.
namespace kvt::testlog {

enum class Operation { Write, Read, Sleep };

// A user's template: its path (which "%f" names) and its text.
struct Template {
  std::string path;
  std::string text;
};

class PatternOutput {
 public:
  PatternOutput();
  ~PatternOutput();
  PatternOutput(const PatternOutput&) = delete;
  PatternOutput& operator=(const PatternOutput&) = delete;

  // Appends `text` to the file at `path`, opened for appending (created if missing) on first
  // use and kept open; a new path closes the old file. False when the file cannot be opened:
  // then nothing is written, and the next call tries again.
  bool append(const std::string& path, std::string_view text);
  // True when the file at `path` is open or can be opened.
  bool available(const std::string& path);
  // The template of `operation` named `name` in `inputPath`, looked for once for each folder.
  const std::optional<Template>& findTemplate(const std::string& inputPath, Operation operation,
                                              std::string_view name);
  // Hands what is buffered to the file.
  void flush();

 private:
  bool openLocked(const std::string& path);

  std::mutex mutex_;  // the flush before a wait may come from another thread
  std::string path_;
  FileHandle file_;
  std::string templateFolder_;
  std::array<bool, 3> looked_{};
  std::array<std::optional<Template>, 3> templates_;
};

// Flushes every pattern file kept open, so a reader sees each access recorded so far. Runs
// before every wait of the program, at the end of a run, and when the TestLog settings change.
void FlushPatternOutputs();

}  // namespace kvt::testlog
