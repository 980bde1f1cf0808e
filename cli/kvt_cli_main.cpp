// kvt-cli: the bench tool without a window, for automation and test racks.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/wait_notice.h"

int main(int argc, char** argv) {
  // Standard output in a pipe or a file is written in blocks; its reader still sees every line
  // before the program waits.
  kvt::platform::SetWaitNotice([] { std::cout.flush(); });
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kvt::cli::RunCli(args, std::cin, std::cout, std::cerr);
}
