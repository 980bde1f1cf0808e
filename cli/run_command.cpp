#include <atomic>
#include <csignal>
#include <ostream>

#include "app/serial_ports.h"
#include "cli/session.h"
#include "cli/subcommands.h"
#include "cmd/scf_reader.h"
#include "cmd/script_runner.h"

namespace kvt::cli {

namespace {

// Ctrl-C during a run is the Break button: the line in progress ends, the next one is not
// executed. A second Ctrl-C ends the program at once.
std::atomic<uint8_t>* runningFlag = nullptr;

extern "C" void breakOnInterrupt(int) {
  if (runningFlag != nullptr) runningFlag->store(0);
  std::signal(SIGINT, SIG_DFL);
}

std::string checkRun(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1) return "run takes one command file";
  if (!cmd::CanRead(arguments[0])) return "cannot read the command file " + arguments[0];
  return {};
}

// Runs the file as "Process SCF" does, on this thread: no progress window is needed.
int run(Session& session, const std::vector<std::string>& arguments) {
  app::AppState& state = session.state();
  const app::DialogContext context = session.context();
  state.commandFilePath = arguments[0];
  state.resumeLine = 0;
  app::PurgePort(context);
  state.scriptRunning = 1;
  static_assert(std::atomic<uint8_t>::is_always_lock_free, "set from a signal handler");
  runningFlag = &state.scriptRunning;
  auto previous = std::signal(SIGINT, breakOnInterrupt);
  cmd::RunScript(context, session.environment());
  std::signal(SIGINT, previous);
  runningFlag = nullptr;
  return 0;
}

}  // namespace

constinit const Subcommand kRunCommand{
    "run", "FILE.scf", "run a command file as \"Process SCF\" does", true, checkRun, run};

}  // namespace kvt::cli
