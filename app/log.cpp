#include "app/log.h"

#include <filesystem>
#include <fstream>

#include "app/control_ids.h"

namespace kvt::app {

namespace {
// The caret goes one before the end of the text, so the newest line is in view.
std::size_t caretPosition(const std::string& text) { return text.empty() ? 0 : text.size() - 1; }
}  // namespace

void Log::append(std::string_view text, bool lineEnd, platform::View* pane, int paneId) {
  // Asked before locking: a toolkit may need its UI thread to answer.
  const bool edited = pane != nullptr && pane->modified(paneId);
  std::lock_guard lock(mutex_);
  bool resend = edited || pane != shownIn_ || paneId != shownId_;
  if (text_.size() + text.size() >= kLimit) {
    text_.clear();  // the whole log goes, not single lines
    resend = true;
    // A text that alone would overrun the log keeps its newest part.
    if (text.size() >= kLimit) text = text.substr(text.size() - (kLimit - 1));
  }
  const std::size_t start = text_.size();
  text_.append(text);
  if (lineEnd) text_.append("\r\n");
  if (mirror_) mirror_(std::string_view(text_).substr(start));
  shownIn_ = pane;
  shownId_ = paneId;
  if (pane == nullptr) return;
  if (resend) {
    pane->setText(paneId, text_);
  } else {
    pane->appendText(paneId, std::string_view(text_).substr(start));
  }
  pane->setCaret(paneId, caretPosition(text_));
}

void Log::clear(platform::View* pane, int paneId) {
  std::lock_guard lock(mutex_);
  text_.clear();
  shownIn_ = pane;
  shownId_ = paneId;
  if (pane != nullptr) pane->setText(paneId, text_);
}

void Log::replace(std::string_view paneText, platform::View* pane, int paneId) {
  std::lock_guard lock(mutex_);
  text_.assign(paneText.substr(0, kCapacity - 1));
  shownIn_ = pane;
  shownId_ = paneId;
}

void Log::setMirror(std::function<void(std::string_view)> mirror) {
  std::lock_guard lock(mutex_);
  mirror_ = std::move(mirror);
}

std::string Log::text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

std::size_t Log::size() const {
  std::lock_guard lock(mutex_);
  return text_.size();
}

void AppendLog(const DialogContext& context, std::string_view text, bool lineEnd) {
  Log* log = context.app != nullptr ? context.app->logBuffer : nullptr;
  if (log == nullptr) return;
  log->append(text, lineEnd, context.owner, id::LogPane);
}

void ClearLog(const DialogContext& context) {
  Log* log = context.app != nullptr ? context.app->logBuffer : nullptr;
  if (log == nullptr) return;
  log->clear(context.owner, id::LogPane);
}

void SaveLog(const DialogContext& context) {
  Log* log = context.app != nullptr ? context.app->logBuffer : nullptr;
  if (log == nullptr || context.instance == nullptr) return;
  // The chooser lets the user name a new file: the log is appended to the file either way.
  const platform::FileChooser request{"Log Text File", "*.txt", "*.txt", false};
  const auto chosen = context.instance->saveFile(context.owner, request);
  if (!chosen) return;
  // What the user edited in the pane becomes part of the log.
  if (context.owner != nullptr) {
    log->replace(context.owner->text(id::LogPane), context.owner, id::LogPane);
  }
  std::ofstream file(std::filesystem::path(*chosen), std::ios::binary | std::ios::app);
  if (!file) return;
  const std::string text = log->text();
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace kvt::app
