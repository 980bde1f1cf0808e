#include "cli/session.h"

#include <cstring>
#include <ostream>

#include "app/control_ids.h"
#include "app/serial_ports.h"
#include "app/startup.h"
#include "platform/com_ports.h"
#include "sim/kv380.h"
#include "testlog/test_log_subsystem.h"

namespace kvt::cli {

namespace {

// "COM1" .. "COM8", with or without the colon, in any case: the index 0..7; else -1.
int comIndex(const std::string& port) {
  std::string name = port;
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!name.empty() && name.back() == ':') name.pop_back();
  if (name.size() != 4 || name.compare(0, 3, "COM") != 0) return -1;
  const int number = name[3] - '0';
  return number >= 1 && number <= platform::kPortCount ? number - 1 : -1;
}

}  // namespace

Session::Session(const CliOptions& options, std::ostream& out, std::ostream& err, std::istream& in)
    : options_(options),
      out_(out),
      err_(err),
      in_(in),
      opener_(options.config),
      window_(out, app::id::LogPane) {
  state_.startFilePath = options.config;
  state_.portIndex = app::ReadPortIndex(options.config);
  state_.logBuffer = &log_;
  state_.portOpener = &opener_;
  state_.mainWindow = &window_;
  testlog::InstallTestLog(state_, testLog_);
  components_.publish(state_);
  if (options.port) {
    const int index = comIndex(*options.port);
    if (index >= 0) {
      state_.portIndex = static_cast<uint8_t>(index);
    } else {
      opener_.setDeviceOverride(*options.port);
    }
  }
  // The simulated chip gets the cards of the --sim options (the default card without any).
  const sim::FieldSetup field = options.field;
  opener_.setSimulatorSetup(
      [field](sim::Kv380& chip) { sim::applyFieldSetup(field, chip.field()); });
  environment_.tally = &tally_;
  cmd::InstallCommandServices(state_, environment_);
}

Session::~Session() {
  state_.scriptRunning = 0;
  if (state_.runnerThread.joinable()) state_.runnerThread.join();
  app::ClosePort(app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &state_});
}

app::DialogContext Session::context() {
  return app::DialogContext{&window_, &window_, nullptr, 0, 0, &state_};
}

bool Session::openPort() {
  const std::string name = state_.portNames[state_.portIndex];
  // Opened without a pane: a failure is told on standard error, not in the log.
  app::OpenPort(app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &state_});
  if (state_.port == nullptr) {
    const std::string device = opener_.describe(name);
    const int error = opener_.verify(name);
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
    if (state_.baudIndex != 2) {
      err_ << "kvt-cli: the chip did not switch to 115200 bit/s\n";
      return false;
    }
  }
  return true;
}

}  // namespace kvt::cli
