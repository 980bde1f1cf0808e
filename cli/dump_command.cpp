#include <ostream>

#include "app/register_dump.h"
#include "app/text_format.h"
#include "cli/session.h"
#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

std::string checkDump(const std::vector<std::string>& arguments) {
  return arguments.empty() ? std::string() : "dump takes no arguments";
}

// A dump whose reads failed is a register failure, like a failing GR line.
int dump(Session& session, const std::vector<std::string>&) {
  const chip::Status status = app::DumpRegisters(session.context());
  if (status != chip::status::Success) {
    // The log shows the rows read before the failure; say why the rest is missing.
    session.err() << "kvt-cli: the dump stopped at a register access with status "
                  << app::Format("%04X", status) << "\n";
    ++session.tally().registerFailures;
    session.describeStatus(status);
  }
  return 0;
}

}  // namespace

constinit const Subcommand kDumpCommand{"dump", "",        "print the register dump",
                                        true,   checkDump, dump};

}  // namespace kvt::cli
