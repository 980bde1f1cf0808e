// kvt-cli's option parser on arguments made of the input, split at NUL bytes. A refusal comes
// with a message.
#include <cstdlib>

#include "cli/cli_options.h"
#include "fuzz/fuzz_target.h"

KVT_FUZZ_TARGET(cli_options) {
  if (size > 4096) return 0;
  const std::vector<std::string> args = kvt::fuzz::Split(kvt::fuzz::AsText(data, size), '\0');
  kvt::cli::CliOptions options;
  std::string error;
  if (!kvt::cli::ParseCliOptions(args, options, error) && error.empty()) std::abort();
  return 0;
}
