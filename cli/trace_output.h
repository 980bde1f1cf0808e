#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "chip/line_trace.h"

namespace kvt::cli {

// Where --trace writes: a file written anew, or standard error for "-".
class TraceOutput {
 public:
  // False when the file cannot be written.
  bool open(const std::string& path) {
    std::FILE* target = stderr;
    if (path != "-") {
      file_.reset(std::fopen(path.c_str(), "w"));
      if (file_ == nullptr) return false;
      target = file_.get();
    }
    trace_.emplace(chip::FileSink(target));
    return true;
  }
  chip::LineTrace* trace() { return trace_ ? &*trace_ : nullptr; }

 private:
  // Declared so that the trace (and what it still holds) goes before the file closes.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, std::fclose};
  std::optional<chip::LineTrace> trace_;
};

}  // namespace kvt::cli
