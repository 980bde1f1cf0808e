#include "app/control_ids.h"
#include "cli/command_line.h"
#include "cli/session.h"
#include "cli/stop_signals.h"
#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

std::string checkExec(const std::vector<std::string>& arguments) {
  return arguments.empty() ? "exec takes one or more command lines" : std::string();
}

int exec(Session& session, const std::vector<std::string>& arguments) {
  // Ctrl-C or SIGTERM ends the wait of the current line and the lines after it (see
  // StopSignals).
  for (const std::string& line : arguments) {
    if (StopSignals::requested() || session.portLost()) break;
    EnterCommandLine(session, line);
  }
  if (StopSignals::requested()) {
    ++session.tally().failedLines;
    session.err() << "kvt-cli: the lines were interrupted\n";
  }
  return 0;
}

}  // namespace

constinit const Subcommand kExecCommand{"exec", "LINE...", "run each line as the command line does",
                                        true,   checkExec, exec};

}  // namespace kvt::cli
