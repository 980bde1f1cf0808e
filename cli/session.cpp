#include "cli/session.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <ostream>

#include "app/control_ids.h"
#include "app/serial_ports.h"
#include "app/text_format.h"
#include "cli/line_rate.h"
#include "cli/stop_signals.h"

namespace kvt::cli {

Session::Session(const CliOptions& options, std::ostream& out, std::ostream& err, std::istream& in)
    : options_(options),
      out_(out),
      err_(err),
      in_(in),
      json_(options.json ? std::make_unique<JsonEvents>(out) : nullptr),
      window_(json_ ? json_->logStream() : out, app::id::LogPane),
      program_(options.config, options, commandEnvironment()) {
  program_.state().mainWindow = &window_;
  window_.setFlushEachLine(&out == &std::cout && isatty(STDOUT_FILENO) != 0);
  program_.state().events = json_.get();
  // Someone at a terminal wants to know what 0104 means; a log stays as it is.
  if (options.verbose || (&err == &std::cerr && isatty(STDERR_FILENO) != 0)) {
    program_.tally().statusFailed = [this](uint16_t status) { describeStatus(status); };
  }
}

void Session::describeStatus(chip::Status status) {
  if (!tally().statusFailed) return;
  err_ << "kvt-cli: STKSTATUS " << app::Format("%04X", status) << ": " << chip::describe(status)
       << "\n";
}

cmd::CommandEnvironment Session::commandEnvironment() {
  cmd::CommandEnvironment environment;
  // A stop asked for by Ctrl-C or SIGTERM ends a wait at once.
  environment.keepWaiting = StopSignals::keepWaiting();
  // The log keeps its silence about a jump that found no label; the user is told here.
  environment.labelNotFound = [this](const std::string& label, int32_t line) {
    const std::string& file = state().commandFilePath;
    err_ << "kvt-cli: " << (file == "-" ? "standard input" : file) << ":" << line << ": label "
         << label << " not found; the run ended there\n";
  };
  return environment;
}

Session::~Session() {
  app::AppState& app = state();
  app.scriptRunning = 0;
  if (app.runnerThread.joinable()) app.runnerThread.join();
  app::ClosePort(app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &app});
}

app::DialogContext Session::context() {
  return app::DialogContext{&window_, &window_, nullptr, 0, 0, &state()};
}

void Session::traceLine(chip::LineTrace& trace) {
  tracingOpener_ = std::make_unique<wiring::TracingPortOpener>(program_.portOpener(), trace);
  state().portOpener = tracingOpener_.get();
}

std::string Session::portDescription() {
  const std::string name = state().portNames[state().portIndex];
  const std::string device = program_.portOpener().describe(name);
  // A device or "sim" given with --port is named as the user wrote it.
  if (options_.port && device == *options_.port) return device;
  // "COM1:" reads better without its colon in a sentence.
  std::string text = name.ends_with(':') ? name.substr(0, name.size() - 1) : name;
  if (!device.empty()) text += " (" + device + ")";
  return text;
}

bool Session::openPort() {
  const std::string name = state().portNames[state().portIndex];
  // Opened without a pane: a failure is told on standard error, not in the log.
  app::OpenPort(app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &state()});
  if (state().port == nullptr) {
    const int error = program_.portOpener().verify(name);
    err_ << "kvt-cli: cannot open " << portDescription();
    if (error != 0) err_ << ": " << std::strerror(error);
    err_ << "\n";
    tellDefaultPort(
        "'kvt-cli ports' lists the ports and the device each COMn opens; --sim is the built-in "
        "simulated chip.");
    return false;
  }
  findChipRate();
  if (options_.baud == 115200u) {
    app::SwitchAllTo115200(context());
    if (state().baudIndex != 2) {
      err_ << "kvt-cli: the chip did not switch to 115200 bit/s\n"
           << "Check the chip's line, or leave out --baud.\n";
      return false;
    }
  }
  return true;
}

void Session::findChipRate() {
  foundRate_ = DetectChipRate(context());
  if (foundRate_ == 115200) {
    err_ << "kvt-cli: the chip on " << portDescription()
         << " does not answer at 9600 bit/s but at 115200; this run uses 115200\n";
  }
  // A lost port is told by the access that meets it.
  if (foundRate_ != 0 || state().port == nullptr || state().port->lost()) return;
  err_ << "kvt-cli: no chip answers on " << portDescription() << " at 9600 or 115200 bit/s\n";
  tellDefaultPort(nullptr);
}

void Session::tellDefaultPort(const char* otherHint) {
  std::error_code error;
  if (!options_.port && !std::filesystem::exists(options_.config, error)) {
    err_ << "Without a start-up file (" << options_.config
         << ") the port is COM1; --port chooses another, --sim the built-in simulated chip.\n";
  } else if (otherHint != nullptr) {
    err_ << otherHint << "\n";
  }
}

bool Session::restoreLineRate() {
  const chip::Status status = RestoreChipRate(context(), foundRate_);
  if (status == chip::status::Success) return true;
  err_ << "kvt-cli: the chip on " << portDescription()
       << " could not be switched back to 9600 bit/s (status " << app::Format("%04X", status)
       << ")\n";
  return false;
}

bool Session::portLost() {
  if (!app::PortLost(state())) return false;
  if (!lossTold_) {
    lossTold_ = true;
    err_ << "kvt-cli: lost the port " << portDescription() << "; the run ends\n";
  }
  return true;
}

}  // namespace kvt::cli
