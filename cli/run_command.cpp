#include <unistd.h>

#include <iostream>
#include <ostream>

#include "app/log.h"
#include "app/serial_ports.h"
#include "cli/run_progress.h"
#include "cli/session.h"
#include "cli/stop_signals.h"
#include "cli/subcommands.h"
#include "cmd/scf_reader.h"
#include "cmd/script_runner.h"

namespace kvt::cli {

namespace {

std::string checkRun(const std::vector<std::string>& arguments) {
  return arguments.size() == 1 ? std::string() : "run takes one command file (or - for stdin)";
}

// Standard input is read whole before the first line runs, so a jump can go back to its top;
// a named file is only checked here and read as the run goes.
cmd::CommandFileError readCommandFile(Session& session, const std::string& path,
                                      std::string& text) {
  if (path == "-") return cmd::ReadCommandStream(session.in(), text);
  return cmd::CheckCommandFile(path);
}

// The progress line is for a person watching a terminal; the log on standard output already
// shows where the run is when it goes to the same screen.
bool showsProgress(Session& session) {
  return &session.err() == &std::cerr && isatty(STDERR_FILENO) != 0 && isatty(STDOUT_FILENO) == 0;
}

// Runs the file as "Process SCF" does, on this thread: no progress window is needed. A file
// that cannot be read gets the window's log line, and the reason on standard error.
int run(Session& session, const std::vector<std::string>& arguments) {
  app::AppState& state = session.state();
  const app::DialogContext context = session.context();
  const std::string& path = arguments[0];
  std::string text;
  const cmd::CommandFileError error = readCommandFile(session, path, text);
  if (error != cmd::CommandFileError::None) {
    app::AppendLog(context, "Error: Cannot process SCF (not found).", true);
    session.err() << "kvt-cli: cannot read the command file " << path << ": "
                  << cmd::DescribeCommandFileError(error) << "\n";
    return 2;
  }
  state.commandFilePath = path;
  state.resumeLine = 0;
  app::PurgePort(context);
  cmd::CommandEnvironment environment = session.environment();
  RunProgress progress(session.err(), showsProgress(session));
  environment.lineDone = [&progress] { progress.lineDone(); };
  // Ctrl-C or SIGTERM is the Break button (see StopSignals); one that came before the run
  // began breaks it before its first line.
  state.scriptRunning = 1;
  if (StopSignals::requested()) state.scriptRunning = 0;
  if (path == "-") {
    cmd::RunScriptText(context, environment, std::move(text));
  } else {
    cmd::RunScript(context, environment);
  }
  progress.clear();
  if (StopSignals::requested()) {
    ++session.tally().failedLines;
    session.err() << "kvt-cli: the run was interrupted\n";
  }
  return 0;
}

}  // namespace

constinit const Subcommand kRunCommand{
    "run", "FILE.scf|-", "run a command file (- reads standard input) as \"Process SCF\" does",
    true,  checkRun,     run};

}  // namespace kvt::cli
