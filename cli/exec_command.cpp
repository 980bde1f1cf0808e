#include <csignal>

#include "app/control_ids.h"
#include "cli/command_line.h"
#include "cli/session.h"
#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

std::string checkExec(const std::vector<std::string>& arguments) {
  return arguments.empty() ? "exec takes one or more command lines" : std::string();
}

// Ctrl-C ends the lines after the current one, so the run still ends in order (the chip is
// switched back to the rate it was found at); a second Ctrl-C ends the program at once.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void stopAfterThisLine(int) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

int exec(Session& session, const std::vector<std::string>& arguments) {
  interrupted = 0;
  auto previous = std::signal(SIGINT, stopAfterThisLine);
  for (const std::string& line : arguments) {
    if (interrupted != 0 || session.portLost()) break;
    EnterCommandLine(session, line);
  }
  std::signal(SIGINT, previous);
  if (interrupted != 0) {
    ++session.tally().failedLines;
    session.err() << "kvt-cli: the lines were interrupted\n";
  }
  return 0;
}

}  // namespace

constinit const Subcommand kExecCommand{"exec", "LINE...", "run each line as the command line does",
                                        true,   checkExec, exec};

}  // namespace kvt::cli
