// A whole command file run on the calling thread, as `kvt-cli run` runs it, on the simulated
// chip. A file that loops for ever is broken after a few thousand lines, as the Break button
// would. Files with SAV are left out (see NamesSaveLog).
#include "cmd/script_runner.h"
#include "fuzz/simulated_program.h"

namespace {

constexpr int kMostLines = 5000;

}  // namespace

KVT_FUZZ_TARGET(command_file) {
  const std::string_view text = kvt::fuzz::AsText(data, size);
  if (size > 16384 || kvt::fuzz::NamesSaveLog(text)) return 0;
  int lines = 0;
  kvt::app::AppState* state = nullptr;
  kvt::cmd::CommandEnvironment environment;
  environment.lineDone = [&] {
    if (++lines == kMostLines) state->scriptRunning = 0;
  };
  kvt::fuzz::SimulatedProgram program(environment);
  state = &program.state();
  state->commandFilePath = "fuzz.scf";
  state->scriptRunning = 1;
  kvt::cmd::RunScriptText(program.context(), program.environment(), std::string(text));
  return 0;
}
