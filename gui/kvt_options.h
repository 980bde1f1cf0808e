#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/wiring/program_options.h"

// Command-line options of kvt, the desktop program: the port and simulated chip options every
// program takes, and its own.
namespace kvt::gui {

struct KvtOptions : wiring::ProgramOptions {
  std::optional<std::string> config;   // --config FILE; default ./kvt_start.cfg
  std::optional<std::string> logFile;  // --log FILE
  bool help = false;
  bool version = false;
};

// Reads the program's arguments (without its name). "-pi" may stand alone or among other
// words separated by blanks or commas; words that are not options are ignored, and so are
// single-dash options (the toolkit's own, such as -platform). False with a one-line `error`
// for an unknown double-dash option or a malformed value.
bool ParseKvtOptions(const std::vector<std::string>& args, KvtOptions& options, std::string& error);

// The --help text.
std::string KvtUsage();

}  // namespace kvt::gui
