#include "app/register_dump.h"
#include "cli/session.h"
#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

std::string checkDump(const std::vector<std::string>& arguments) {
  return arguments.empty() ? std::string() : "dump takes no arguments";
}

int dump(Session& session, const std::vector<std::string>&) {
  app::DumpRegisters(session.context());
  return 0;
}

}  // namespace

constinit const Subcommand kDumpCommand{"dump", "",        "print the register dump",
                                        true,   checkDump, dump};

}  // namespace kvt::cli
