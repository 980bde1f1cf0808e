#include "cli/session.h"
#include "cli/subcommands.h"
#include "cmd/command_reference.h"

namespace kvt::cli {

namespace {

std::string checkHelp(const std::vector<std::string>& arguments) {
  return arguments.size() <= 1 ? std::string() : "help takes at most one command name";
}

// The whole command reference, or the entry of the command named.
int help(Session& session, const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    cmd::PrintCommandReference(session.context());
    return 0;
  }
  if (cmd::PrintCommandEntry(session.context(), arguments[0])) return 0;
  session.err() << "kvt-cli: no command " << arguments[0]
                << " in the command reference; 'kvt-cli help' lists them all\n";
  return 2;
}

}  // namespace

constinit const Subcommand kHelpCommand{
    "help", "[COMMAND]", "print the command reference, or one command's entry",
    false,  checkHelp,   help};

}  // namespace kvt::cli
