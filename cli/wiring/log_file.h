#pragma once

#include <fstream>
#include <string>

#include "app/log.h"

namespace kvt::wiring {

// The --log file of kvt and kvt-cli: every text the log gains is appended to it as it is added
// and flushed at once, so the file keeps the whole run, whatever the log's size limit empties
// from the pane, and everything up to an interruption.
class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Opens `path` for appending (created if missing). False when it cannot be written.
  bool open(const std::string& path);
  bool isOpen() const { return file_.is_open(); }
  // From now on every text `log` gains is appended, until finish() or destruction.
  void follow(app::Log& log);
  // Stops following; false when a write failed.
  bool finish();

 private:
  std::ofstream file_;
  app::Log* log_ = nullptr;
  bool failed_ = false;
};

}  // namespace kvt::wiring
