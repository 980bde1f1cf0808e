#include "cli/subcommands.h"

namespace kvt::cli {

const std::vector<Subcommand>& Subcommands() {
  // A new subcommand defines its entry in a file of its own and is added here.
  static const std::vector<Subcommand> table{
      kRunCommand,  kExecCommand, kShellCommand, kDumpCommand,
      kCardCommand, kHelpCommand, kPortsCommand,
  };
  return table;
}

const Subcommand* FindSubcommand(std::string_view name) {
  for (const Subcommand& subcommand : Subcommands()) {
    if (subcommand.name == name) return &subcommand;
  }
  return nullptr;
}

}  // namespace kvt::cli
