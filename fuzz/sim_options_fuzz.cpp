// kvt-sim's option parser on arguments made of the input, split at NUL bytes. A refusal comes
// with a message.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "sim/sim_options.h"

KVT_FUZZ_TARGET(sim_options) {
  if (size > 4096) return 0;
  const std::vector<std::string> args = kvt::fuzz::Split(kvt::fuzz::AsText(data, size), '\0');
  std::vector<const char*> argv{"kvt-sim"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  kvt::sim::SimOptions options;
  std::string error;
  if (!kvt::sim::parseSimOptions(static_cast<int>(argv.size()), argv.data(), options, error) &&
      error.empty()) {
    std::abort();
  }
  return 0;
}
