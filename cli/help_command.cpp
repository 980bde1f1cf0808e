#include "cli/session.h"
#include "cli/subcommands.h"
#include "cmd/command_reference.h"

namespace kvt::cli {

namespace {

std::string checkHelp(const std::vector<std::string>& arguments) {
  return arguments.empty() ? std::string() : "help takes no arguments";
}

int help(Session& session, const std::vector<std::string>&) {
  cmd::PrintCommandReference(session.context());
  return 0;
}

}  // namespace

constinit const Subcommand kHelpCommand{"help", "",        "print the command reference",
                                        false,  checkHelp, help};

}  // namespace kvt::cli
