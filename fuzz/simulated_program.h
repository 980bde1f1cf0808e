#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/serial_ports.h"
#include "cli/wiring/wired_program.h"
#include "fuzz/fuzz_target.h"
#include "platform/clock.h"

namespace kvt::fuzz {

// A fresh program on the built-in simulated chip with its port open, as `kvt-cli --sim` has
// it, but on a manual clock: SLP, WIE and WIL take no real time. No window: the log keeps the
// lines. Made anew for every input, so no input depends on the ones before it.
class SimulatedProgram {
 public:
  explicit SimulatedProgram(cmd::CommandEnvironment environment = {})
      : program_(PrivateFolder() + "/kvt_start.cfg", simOptions(), withClock(environment)) {
    app::OpenPort(context());
    if (program_.state().port == nullptr) std::abort();  // nothing would reach the chip
  }
  SimulatedProgram(const SimulatedProgram&) = delete;
  SimulatedProgram& operator=(const SimulatedProgram&) = delete;

  app::AppState& state() { return program_.state(); }
  app::DialogContext context() {
    return app::DialogContext{nullptr, nullptr, nullptr, 0, 0, &program_.state()};
  }
  const cmd::CommandEnvironment& environment() const { return program_.environment(); }

 private:
  static wiring::ProgramOptions simOptions() {
    wiring::ProgramOptions options;
    options.port = "sim";
    return options;
  }
  cmd::CommandEnvironment withClock(cmd::CommandEnvironment environment) {
    environment.clock = &clock_;
    return environment;
  }

  platform::ManualClock clock_;
  wiring::WiredProgram program_;
};

}  // namespace kvt::fuzz
