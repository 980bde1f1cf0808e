#include "gui/log_file.h"

namespace kvt::gui {

LogFile::~LogFile() { finish(); }

bool LogFile::open(const std::string& path) {
  file_.open(path, std::ios::binary | std::ios::app);
  return file_.is_open();
}

void LogFile::follow(app::Log& log) {
  log_ = &log;
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
  return !failed_;
}

}  // namespace kvt::gui
