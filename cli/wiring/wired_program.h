#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "cli/wiring/program_options.h"
#include "cmd/command_interpreter.h"
#include "cmd/command_services.h"
#include "sim/kv380.h"
#include "testlog/test_log_settings.h"

// One kvt program, wired: the application core (state, log, chip stack, port opener), the
// command language, the TestLog settings, the card reader and the simulated chip behind the
// port value "sim". How a program uses it:
//
//   wiring::ProgramOptions options;                      // -pi, --port, --sim, --sim-card ...
//   if (!wiring::ParseProgramArguments(args, options, error)) { /* usage error */ }
//   wiring::WiredProgram program(app::StartFilePath(folder), options);
//   return program.application().run(shell);              // kvt: the main window, then exit
//
// kvt-cli makes one the same way and drives program.state() without the main window's run.
namespace kvt::wiring {

class WiredProgram {
 public:
  // Reads the port index from `startFilePath`; options.port "COMn" selects that port, any other
  // value ("sim", a device path) is opened whatever port is selected. `environment` is what the
  // command language waits on and how it starts its runner; its tally is the program's own.
  WiredProgram(std::string startFilePath, const ProgramOptions& options,
               cmd::CommandEnvironment environment = {});
  WiredProgram(const WiredProgram&) = delete;
  WiredProgram& operator=(const WiredProgram&) = delete;

  app::Application& application() { return application_; }
  app::AppState& state() { return application_.state(); }
  app::Log& log() { return application_.log(); }
  app::DevicePortOpener& portOpener() { return application_.portOpener(); }
  // The failed lines, register failures and compare errors of every line run so far.
  const cmd::ErrorTally& tally() const { return tally_; }
  cmd::ErrorTally& tally() { return tally_; }
  // What the command language runs with (clock, tally, runner start), for a run on this thread.
  const cmd::CommandEnvironment& environment() const { return environment_; }

  // The simulated chip, made at its first use with the cards of the options; it keeps its
  // registers (and its line speed) across a close and a reopen of the port, as a real chip does.
  sim::Kv380& simulatedChip();
  // With --sim-save, writes the memory of each --sim-card-file card of the simulated chip back to
  // its file (nothing when the chip was never made). One message per file that could not be
  // written.
  std::vector<std::string> saveSimulatedCards();
  // Runs once on the simulated chip right after it is made and its field set up.
  void setSimulatorSetup(std::function<void(sim::Kv380&)> setup) { setup_ = std::move(setup); }

 private:
  // Declared so that the application (and with it the open port and the runner) goes first,
  // then the settings and the simulated chip its ports talk to.
  sim::FieldSetup field_;
  std::function<void(sim::Kv380&)> setup_;
  std::unique_ptr<sim::Kv380> chip_;
  std::vector<sim::ImageCard> imageCards_;
  testlog::TestLogSettings testLog_;
  cmd::ErrorTally tally_;
  cmd::CommandEnvironment environment_;
  app::Application application_;
};

}  // namespace kvt::wiring
