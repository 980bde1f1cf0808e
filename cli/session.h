#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "chip/status.h"
#include "cli/cli_options.h"
#include "cli/headless_dialog_view.h"
#include "cli/json_events.h"
#include "cli/wiring/tracing_port_opener.h"
#include "cli/wiring/wired_program.h"
#include "cmd/command_interpreter.h"
#include "cmd/command_services.h"

namespace kvt::cli {

// Everything one kvt-cli run lives on: the program wired as the desktop program wires it, with a
// main window that has no screen: its log pane prints to `out` as it grows. The start-up file
// is read and never written.
class Session {
 public:
  Session(const CliOptions& options, std::ostream& out, std::ostream& err, std::istream& in);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens the chosen port as the Open button does, finds the rate the chip answers at (9600,
  // else 115200) and switches to 115200 bit/s when asked. False, with a message on the error
  // stream, when the port cannot be opened or switched.
  bool openPort();
  // Leaves the chip at the rate it was found at. False, with a message, when that failed.
  bool restoreLineRate();
  // Every port opened from now on records its traffic in `trace`, which outlives the session.
  void traceLine(chip::LineTrace& trace);
  // Describes a failing status on the error stream when the user asked for it (--verbose) or
  // watches a terminal; nothing otherwise.
  void describeStatus(chip::Status status);
  // The port as the user named it: "/dev/ttyUSB0", "sim", "COM2 (/dev/ttyS1)".
  std::string portDescription();
  // True once the open port is lost (adapter unplugged, kvt-sim stopped); the first call after
  // the loss says so on the error stream, naming the device.
  bool portLost();

  app::AppState& state() { return program_.state(); }
  // The context of a main window action: the headless main window owns the log pane.
  app::DialogContext context();
  // The main window procedure, for the command line and its history.
  app::MainWindow& mainWindow() { return mainWindow_; }
  // The headless main window; a dialog that shows the same log prints through a view made
  // from it, so each line reaches standard output once.
  HeadlessDialogView& window() { return window_; }
  const CliOptions& options() const { return options_; }
  cmd::ErrorTally& tally() { return program_.tally(); }
  // With --sim-save, the simulated cards of --sim-card-file back into their files; one message
  // per file that could not be written.
  std::vector<std::string> saveSimulatedCards() { return program_.saveSimulatedCards(); }
  // Card steps that failed (a refused card reader set-up counts as one); not command lines.
  int cardFailures() const { return cardFailures_; }
  void countCardFailures(int count) { cardFailures_ += count; }
  const cmd::CommandEnvironment& environment() const { return program_.environment(); }
  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }
  std::istream& in() { return in_; }

 private:
  // What the command language runs with: the default clock and runner, the user told of what
  // the log does not say.
  cmd::CommandEnvironment commandEnvironment();
  void findChipRate();
  // Says, when neither --port nor a start-up file chose the port, that COM1 was used by default;
  // otherwise gives `otherHint` as the hint line, if any.
  void tellDefaultPort(const char* otherHint);

  const CliOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  // With --json the log pane's lines become JSON messages, and the records of what ran are
  // written beside them.
  std::unique_ptr<JsonEvents> json_;
  bool lossTold_ = false;
  // The window outlives the program, whose end waits for a run that may still print to it.
  HeadlessDialogView window_;
  wiring::WiredProgram program_;
  app::MainWindow mainWindow_{program_.state()};
  int cardFailures_ = 0;
  std::unique_ptr<wiring::TracingPortOpener> tracingOpener_;
  uint32_t foundRate_ = 0;  // the rate the chip answered at when opened; 0: none
};

}  // namespace kvt::cli
