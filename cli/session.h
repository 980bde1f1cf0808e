#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/components.h"
#include "app/device_port_opener.h"
#include "app/log.h"
#include "app/main_window.h"
#include "cardreader/headless_dialog_view.h"
#include "cli/cli_options.h"
#include "cmd/command_interpreter.h"
#include "cmd/command_services.h"
#include "testlog/test_log_settings.h"

namespace kvt::cli {

// Everything one kvt-cli run lives on: the shared state, the log, the chip stack and the port
// opener, wired as the desktop program wires them, with a main window that has no screen: its
// log pane prints to `out` as it grows. The start-up file is read and never written.
class Session {
 public:
  Session(const CliOptions& options, std::ostream& out, std::ostream& err, std::istream& in);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens the chosen port as the Open button does (and switches to 115200 bit/s when asked).
  // False, with a message on the error stream, when the port cannot be opened or switched.
  bool openPort();

  app::AppState& state() { return state_; }
  // The context of a main window action: the headless main window owns the log pane.
  app::DialogContext context();
  // The main window procedure, for the command line and its history.
  app::MainWindow& mainWindow() { return mainWindow_; }
  // The headless main window; a dialog that shows the same log prints through a view made
  // from it, so each line reaches standard output once.
  cardreader::HeadlessDialogView& window() { return window_; }
  const CliOptions& options() const { return options_; }
  const cmd::CommandEnvironment& environment() const { return environment_; }
  const cmd::ErrorTally& tally() const { return tally_; }
  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }
  std::istream& in() { return in_; }

 private:
  const CliOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  // Declared so that the state (and with it the open port) goes first, the chip objects last.
  app::Log log_;
  app::Components components_;
  app::DevicePortOpener opener_;
  testlog::TestLogSettings testLog_;
  cmd::ErrorTally tally_;
  cmd::CommandEnvironment environment_;
  cardreader::HeadlessDialogView window_;
  app::AppState state_;
  app::MainWindow mainWindow_{state_};
};

}  // namespace kvt::cli
