#pragma once

#include <string>

#include "app/app_state.h"
#include "platform/shell.h"

namespace kvt::app {

// The main window (dialog 101): routes every button and menu command to its action, runs the
// command line with its history, and keeps the port state of its controls.
class MainWindow final : public platform::DialogProcedure {
 public:
  explicit MainWindow(AppState& app) : app_(app) {}

  void init(platform::View& window) override;
  void command(platform::View& window, int id, int notification) override;
  // The close box: closes the port and ends the window.
  void closeRequest(platform::View& window) override;
  // Up and Down browse the command history, Escape empties the command line; Escape in the log
  // pane does nothing. These keys are consumed, so a toolkit never turns an Escape into a
  // close request and the next real close closes.
  bool key(platform::View& window, int id, platform::Key key) override;

 private:
  DialogContext contextFor(platform::View& window, int id, int notification) const;
  // The groups of main window commands; each returns false for an id that is not its own.
  bool portCommand(int id, const DialogContext& context);
  bool scriptCommand(platform::View& window, int id, const DialogContext& context);
  bool dialogCommand(platform::View& window, int id, const DialogContext& context);
  // The commands that write to or about the log pane.
  void logCommand(int id, const DialogContext& context);
  void runCommandLine(platform::View& window, const DialogContext& context);
  void overrideName(platform::View& window);
  void openRegisterDialog(platform::View& window);
  void reapScriptThread();
  void end(platform::View& window, int result);

  AppState& app_;
};

// What a resize of the main window does: it keeps its initial width, cannot get lower than its
// initial height, and gives any extra height to the log pane.
enum class ResizeAction { RestoreHeight, RestoreWidth, StretchLogPane };
ResizeAction DecideResize(const AppState& app, int width, int height);

}  // namespace kvt::app
