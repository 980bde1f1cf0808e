#pragma once

#include <filesystem>
#include <string_view>

#include "app/app_state.h"
#include "app/components.h"
#include "app/device_port_opener.h"
#include "app/log.h"
#include "platform/shell.h"

namespace kvt::app {

// The program's entry and everything that lives for the run: the shared state, the log, the
// chip stack and the port opener. Construction is the start-up: the port index from the
// start-up file in `currentDirectory`, the "-pi" switch from `commandLine`, the wired stack.
// The subsystems above this core (command language, TestLog, card reader) and the simulated
// chip are wired in by the programs (see cli/wiring/wired_program.h).
class Application {
 public:
  Application(std::string_view commandLine, const std::filesystem::path& currentDirectory);
  // The same with the start-up file named directly.
  Application(std::string startFilePath, bool piShown);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  AppState& state() { return state_; }
  Log& log() { return log_; }
  Components& components() { return components_; }
  DevicePortOpener& portOpener() { return opener_; }

  // Runs the main window (dialog 101) modally through `shell`, then the exit steps; returns
  // the main window's result.
  int run(platform::Shell& shell);
  // After the main window: the port index goes back into the start-up file.
  void exit();

 private:
  // Declared so that the state (and with it the open port) goes first, the chip objects last.
  Log log_;
  Components components_;
  DevicePortOpener opener_;
  AppState state_;
};

}  // namespace kvt::app
