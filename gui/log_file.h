#pragma once

#include <fstream>
#include <string>

#include "app/log.h"

namespace kvt::gui {

// The --log file: the log is appended to it as it grows, each text as it is added, so the
// file keeps what was reported even if the program ends abruptly.
class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Opens `path` for appending (created if missing). False when it cannot be written.
  bool open(const std::string& path);
  bool isOpen() const { return file_.is_open(); }
  // From now on every text `log` gains is appended. The file must outlive nothing: it stops
  // following at finish() or destruction.
  void follow(app::Log& log);
  // Stops following; false when a write failed.
  bool finish();

 private:
  std::ofstream file_;
  app::Log* log_ = nullptr;
  bool failed_ = false;
};

}  // namespace kvt::gui
