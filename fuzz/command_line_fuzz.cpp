// One line of the command language, as the window's command line runs it, on the simulated
// chip. Lines with SAV are left out (see NamesSaveLog).
#include "fuzz/simulated_program.h"

KVT_FUZZ_TARGET(command_line) {
  const std::string_view text = kvt::fuzz::AsText(data, size);
  if (size > 4096 || kvt::fuzz::NamesSaveLog(text)) return 0;
  kvt::fuzz::SimulatedProgram program;
  std::string line(text);
  program.state().services.executeLine(program.context(), line);
  return 0;
}
