#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvt::cli {

class Session;

// One subcommand of kvt-cli. `check` looks at the arguments before anything is opened (an
// empty string when they fit, else the usage error); `run` does the work and returns 0, or 2
// for a failure that is not the log's (a message on the error stream).
struct Subcommand {
  std::string_view name;
  std::string_view arguments;  // synopsis of its arguments, for the usage text
  std::string_view summary;
  bool needsPort;
  std::string (*check)(const std::vector<std::string>& arguments);
  int (*run)(Session& session, const std::vector<std::string>& arguments);
};

// The subcommands, in the order the usage text lists them.
const std::vector<Subcommand>& Subcommands();
const Subcommand* FindSubcommand(std::string_view name);

// The entries of the table, one file each.
extern const Subcommand kRunCommand;
extern const Subcommand kExecCommand;
extern const Subcommand kShellCommand;
extern const Subcommand kDumpCommand;
extern const Subcommand kHelpCommand;
extern const Subcommand kPortsCommand;
extern const Subcommand kCardCommand;

}  // namespace kvt::cli
