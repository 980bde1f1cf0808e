#include "cli/cli.h"

#include <csignal>
#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/cli_options.h"
#include "cli/session.h"
#include "cli/stop_signals.h"
#include "cli/subcommands.h"
#include "cli/trace_output.h"
#include "cli/wiring/log_file.h"
#include "testlog/test_log_subsystem.h"

#ifndef KVT_VERSION
#define KVT_VERSION "unknown"
#endif

namespace kvt::cli {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitStrictFailure = 1;
constexpr int kExitUsage = 2;
// Ended in order after SIGTERM: the status a shell gives a program that SIGTERM ended.
constexpr int kExitTerminated = 128 + SIGTERM;

int usageError(std::ostream& err, const std::string& message) {
  err << "kvt-cli: " << message << "\n"
      << "Try 'kvt-cli --help'.\n";
  return kExitUsage;
}

// The subcommands whose log --json turns into records.
bool writesJson(const std::string& command) {
  return command == "exec" || command == "run" || command == "dump" || command == "card";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err) {
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(args, options, error)) return usageError(err, error);
  if (options.help) {
    out << CliUsage();
    return kExitDone;
  }
  if (options.version) {
    out << "kvt-cli " << KVT_VERSION << "\n";
    return kExitDone;
  }
  if (options.command.empty()) return usageError(err, "no command given");
  const Subcommand* subcommand = FindSubcommand(options.command);
  if (subcommand == nullptr) return usageError(err, "unknown command '" + options.command + "'");
  if (options.json && !writesJson(options.command)) {
    return usageError(err, "--json works with exec, run, dump and card, not " + options.command);
  }
  error = subcommand->check(options.arguments);
  if (!error.empty()) return usageError(err, error);

  std::error_code status;
  if (options.configGiven && !std::filesystem::is_regular_file(options.config, status)) {
    return usageError(err, "cannot read the start-up file " + options.config);
  }
  // Opened (for appending) before anything runs, so a log that could not be kept is known
  // before the work is done; it then grows line by line with the log.
  wiring::LogFile logFile;
  if (options.logFile && !logFile.open(*options.logFile)) {
    return usageError(err, "cannot write the log file " + *options.logFile);
  }

  // The trace outlives the session, whose port writes to it until it is closed.
  TraceOutput trace;
  if (options.traceFile && !trace.open(*options.traceFile)) {
    return usageError(err, "cannot write the trace file " + *options.traceFile);
  }

  Session session(options, out, err, in);
  // Ctrl-C or SIGTERM stops the work and lets the run end in order: the chip back at the rate
  // it was found at, the log file complete. The shell has Ctrl-C of its own.
  std::optional<StopSignals> stopSignals;
  if (subcommand->needsPort && subcommand != &kShellCommand) {
    stopSignals.emplace(&session.state().scriptRunning);
  }
  if (trace.trace() != nullptr) session.traceLine(*trace.trace());
  if (logFile.isOpen()) logFile.follow(*session.state().logBuffer);
  if (subcommand->needsPort && !session.openPort()) return kExitUsage;
  if (options.testLog && !testlog::EnableFromStartFile(session.state(), error)) {
    err << "kvt-cli: " << error << "\n";
    return kExitUsage;
  }
  int result = subcommand->run(session, options.arguments);
  if (subcommand->needsPort && !session.restoreLineRate()) ++session.tally().failedLines;
  out.flush();
  // A lost port ends the run early: that is never a success.
  if (session.portLost() && result == kExitDone) result = kExitStrictFailure;
  // A card that could not be saved loses what was written to it: the run has failed.
  for (const std::string& failure : session.saveSimulatedCards()) {
    err << "kvt-cli: " << failure << "\n";
    if (result == kExitDone) result = kExitStrictFailure;
  }

  if (!logFile.finish()) {
    err << "kvt-cli: could not write the log file " << *options.logFile << "\n";
    if (result == kExitDone) result = kExitUsage;
  }
  if (result == kExitDone && options.strict &&
      session.tally().total() + session.cardFailures() > 0) {
    result = kExitStrictFailure;
  }
  return stopSignals && StopSignals::signal() == SIGTERM ? kExitTerminated : result;
}

}  // namespace kvt::cli
