#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "app/app_state.h"
#include "cmd/command_interpreter.h"
#include "platform/clock.h"

namespace kvt::cmd {

// What the command language takes from the program around it.
struct CommandEnvironment {
  // What SLP, WIE and WIL wait on, and what bounds every chip command's wait in time.
  platform::Clock* clock = &platform::SystemClock::instance();
  // When set, SLP, WIE and WIL of command lines and command files end early once it is 0 (a
  // stop asked for by a signal). Unset, a wait runs to its end, as in the window, whose Break
  // takes effect after the line.
  const std::atomic<uint8_t>* keepWaiting = nullptr;
  // Counts failed lines, register failures and compare errors of every line run; may be null.
  ErrorTally* tally = nullptr;
  // Starts the script runner thread; empty: a std::thread. May throw std::system_error when
  // no thread can be made.
  std::function<std::thread(std::function<void()>)> startThread;
  // Called on the runner's thread after each line of a command file ran; may be empty.
  std::function<void()> lineDone;
  // Told when a run ends on a jump whose label the file does not hold: the label and the
  // number of the jump's line in the file. The log says nothing of it; may be empty.
  std::function<void(const std::string& label, int32_t line)> labelNotFound;
};

// Fills the command language's entries of app.services: the command line, "&Select SCF",
// "Process &SCF" and the command reference. The programs call it once while wiring.
void InstallCommandServices(app::AppState& app, CommandEnvironment environment = {});

}  // namespace kvt::cmd
