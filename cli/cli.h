#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kvt::cli {

// The whole of kvt-cli: reads the options, opens the port the subcommand needs, runs it and
// writes the log to `out` as it grows. Returns the exit status: 0 done, 1 a failure under
// --strict, 2 a usage error or a port that cannot be opened.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace kvt::cli
