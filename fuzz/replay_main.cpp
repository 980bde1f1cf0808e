// Replays committed fuzz inputs: `kvt_fuzz_replay TARGET DIR...` runs every regular file in
// each DIR through TARGET once. A crash or a sanitizer report fails the run, as it would fail
// the fuzzer; an unknown target or an empty corpus is a usage error.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace kvt::fuzz {

namespace {

std::map<std::string, TargetFunction>& targets() {
  static std::map<std::string, TargetFunction> all;
  return all;
}

}  // namespace

bool RegisterTarget(const char* name, TargetFunction function) {
  targets()[name] = function;
  return true;
}

}  // namespace kvt::fuzz

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const auto& targets = kvt::fuzz::targets();
  const auto target = argc >= 3 ? targets.find(argv[1]) : targets.end();
  if (target == targets.end()) {
    std::fprintf(stderr, "usage: kvt_fuzz_replay TARGET DIR...; targets:");
    for (const auto& [name, function] : targets) std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
  }
  int replayed = 0;
  for (int i = 2; i < argc; ++i) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(argv[i], error)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream file(entry.path(), std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
      target->second(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
    if (error) {
      std::fprintf(stderr, "kvt_fuzz_replay: %s: %s\n", argv[i], error.message().c_str());
      return 2;
    }
  }
  std::printf("%s: %d inputs replayed\n", argv[1], replayed);
  return replayed > 0 ? 0 : 2;
}
