// kvt-cli: the bench tool without a window, for automation and test racks.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return kvt::cli::RunCli(args, std::cin, std::cout, std::cerr);
}
