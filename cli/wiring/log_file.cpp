#include "cli/wiring/log_file.h"

namespace kvt::wiring {

LogFile::~LogFile() { finish(); }

bool LogFile::open(const std::string& path) {
  file_.open(path, std::ios::binary | std::ios::app);
  return file_.is_open();
}

void LogFile::follow(app::Log& log) {
  log_ = &log;
  // Called under the log's lock, so texts reach the file in the log's order.
  log.setMirror([this](std::string_view text) {
    file_.write(text.data(), static_cast<std::streamsize>(text.size()));
    file_.flush();
    if (!file_) failed_ = true;
  });
}

bool LogFile::finish() {
  if (log_ != nullptr) {
    log_->setMirror(nullptr);
    log_ = nullptr;
  }
  if (file_.is_open()) file_.flush();
  return !failed_ && (!file_.is_open() || file_.good());
}

}  // namespace kvt::wiring
