#include "cmd/progress_dialog.h"

namespace kvt::cmd {

void RunMeeting::runEnded() {
  std::lock_guard lock(mutex_);
  app_.scriptRunning = 0;
  ended_ = true;
  if (dialog_ != nullptr && app_.instance != nullptr)
    app_.instance->postCommand(dialog_, id::RunEnded);
}

bool RunMeeting::ended() const {
  std::lock_guard lock(mutex_);
  return ended_;
}

bool RunMeeting::dialogShown(platform::View& dialog) {
  std::lock_guard lock(mutex_);
  dialog_ = &dialog;
  app_.processingDialog = &dialog;
  return ended_;
}

void RunMeeting::dialogGone() {
  std::lock_guard lock(mutex_);
  dialog_ = nullptr;
  app_.processingDialog = nullptr;
}

void ProgressDialog::init(platform::View& window) {
  window.setText(id::ProgressText, "Processing Command Batch File . . .");
  window.setFocus(id::BreakButton);
  // A run that ended before the dialog existed closes it as soon as it is up.
  if (meeting_->dialogShown(window) && app_.instance != nullptr) {
    app_.instance->postCommand(&window, id::RunEnded);
  }
}

void ProgressDialog::command(platform::View& window, int id, int) {
  if (id == id::BreakButton) {
    window.enable(id::BreakButton, false);
    app_.scriptRunning = 0;
  } else if (id == id::RunEnded) {
    meeting_->dialogGone();
    window.close(0);
  }
}

}  // namespace kvt::cmd
