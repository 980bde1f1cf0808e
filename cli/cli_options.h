#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/wiring/program_options.h"

// Command-line options of kvt-cli.
namespace kvt::cli {

// The port and the simulated chip's options (--port, --sim, --sim-card ...) come from the
// options every program takes.
struct CliOptions : wiring::ProgramOptions {
  std::string command;                 // the subcommand: run, exec, shell, dump, help, ports ...
  std::vector<std::string> arguments;  // what follows it (a file, lines, words)
  std::string config = "kvt_start.cfg";
  bool configGiven = false;              // --config was given: the file must exist
  std::optional<uint32_t> baud;          // --baud 9600 | 115200
  std::optional<std::string> logFile;    // --log FILE
  std::optional<std::string> traceFile;  // --trace FILE, "-" for standard error
  bool strict = false;
  bool verbose = false;   // --verbose: failing statuses described on stderr also off a terminal
  bool json = false;      // --json: JSON records on standard output instead of the log text
  bool testLog = false;   // --testlog: pattern output as the start-up file sets it up
  bool trailers = false;  // --trailers: card restore also writes the sector trailers
  bool help = false;
  bool version = false;
};

// Reads the program's arguments (without its name). Options may stand before and after the
// subcommand; "--" ends the options, so later arguments starting with "--" are taken as they
// are. False with a one-line `error` for an unknown option or a malformed value.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

// The --help text.
std::string CliUsage();

}  // namespace kvt::cli
