#include "cli/session.h"

#include <cstring>
#include <ostream>

#include "app/control_ids.h"
#include "app/serial_ports.h"

namespace kvt::cli {

Session::Session(const CliOptions& options, std::ostream& out, std::ostream& err, std::istream& in)
    : options_(options),
      out_(out),
      err_(err),
      in_(in),
      window_(out, app::id::LogPane),
      program_(options.config, options) {
  program_.state().mainWindow = &window_;
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

bool Session::openPort() {
  const std::string name = state().portNames[state().portIndex];
  // Opened without a pane: a failure is told on standard error, not in the log.
  app::OpenPort(app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &state()});
  if (state().port == nullptr) {
    const std::string device = program_.portOpener().describe(name);
    const int error = program_.portOpener().verify(name);
    // "COM1:" reads better without its colon in a sentence.
    err_ << "kvt-cli: cannot open "
         << (name.ends_with(':') ? name.substr(0, name.size() - 1) : name);
    if (!device.empty()) err_ << " (" << device << ")";
    if (error != 0) err_ << ": " << std::strerror(error);
    err_ << "\n";
    return false;
  }
  if (options_.baud == 115200u) {
    app::SwitchAllTo115200(context());
    if (state().baudIndex != 2) {
      err_ << "kvt-cli: the chip did not switch to 115200 bit/s\n";
      return false;
    }
  }
  return true;
}

}  // namespace kvt::cli
