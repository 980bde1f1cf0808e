#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/field_setup.h"

// The options every kvt program takes for its port and the simulated chip.
namespace kvt::wiring {

struct ProgramOptions {
  std::optional<std::string> port;  // --port COM1..COM8 | DEVICE | sim; --sim
  sim::FieldSetup field;            // --sim-card, --sim-empty and the fault options
  bool piShown = false;             // -pi: the programming interface menu is shown
};

struct OptionResult {
  int consumed = 0;   // arguments taken from `index` on; 0: not one of these options
  std::string error;  // non-empty: the option is malformed
};

// Reads --sim, --port and the simulated field's options at args[index] (their value as the
// next argument or after '=').
OptionResult ParseProgramOption(ProgramOptions& options, std::span<const std::string> args,
                                std::size_t index);

// Checks the options as a whole; an empty string when they fit together.
std::string CheckProgramOptions(const ProgramOptions& options);

// All of a program's arguments (without its name) when it takes only these options and -pi.
// False with a one-line `error` for anything else.
bool ParseProgramArguments(const std::vector<std::string>& args, ProgramOptions& options,
                           std::string& error);

// Help lines for a program's usage text, one option per line, each ending in '\n'.
std::string ProgramOptionsHelp();

}  // namespace kvt::wiring
