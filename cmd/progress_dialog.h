#pragma once

#include <memory>
#include <mutex>

#include "app/app_state.h"
#include "platform/shell.h"

namespace kvt::cmd {

namespace id {
constexpr int ProgressDialog = 108;  // "Processing..."
constexpr int BreakButton = 1030;    // "&Break", the default button
constexpr int ProgressText = 1031;   // "Processing Command Batch File . . ."
// Posted to the dialog when the run has ended: the dialog closes.
constexpr int RunEnded = 50498;
}  // namespace id

// The meeting point of a run's two sides: the runner thread, which ends the run, and the
// "Processing..." dialog on the UI thread, which may appear before or after that end. Whoever
// comes second closes the dialog, so it never stays open after the run and never gets a
// message after it closed.
class RunMeeting {
 public:
  explicit RunMeeting(app::AppState& app) : app_(app) {}

  // The runner has finished: scriptRunning goes to 0 and an open dialog is told to close.
  void runEnded();
  bool ended() const;
  // The dialog exists; true when the run has already ended (it must close at once).
  bool dialogShown(platform::View& dialog);
  // The dialog is closing or gone; nothing is posted to it any more.
  void dialogGone();

 private:
  app::AppState& app_;
  mutable std::mutex mutex_;
  platform::View* dialog_ = nullptr;
  bool ended_ = false;
};

// Dialog 108 "Processing...": "&Break" clears scriptRunning (the runner stops before its next
// line); the end of the run closes the dialog. It has no close box.
class ProgressDialog final : public platform::DialogProcedure {
 public:
  ProgressDialog(app::AppState& app, std::shared_ptr<RunMeeting> meeting)
      : app_(app), meeting_(std::move(meeting)) {}

  void init(platform::View& window) override;
  void command(platform::View& window, int id, int notification) override;
  void closeRequest(platform::View&) override {}

 private:
  app::AppState& app_;
  std::shared_ptr<RunMeeting> meeting_;
};

}  // namespace kvt::cmd
