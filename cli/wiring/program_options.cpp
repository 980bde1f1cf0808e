#include "cli/wiring/program_options.h"

#include "platform/command_option.h"

namespace kvt::wiring {

OptionResult ParseProgramOption(ProgramOptions& options, std::span<const std::string> args,
                                std::size_t index) {
  const platform::CommandOption option = platform::SplitOption(args[index]);
  if (option.name == "--sim") {
    if (option.inlineValue) return {0, "option --sim takes no value"};
    options.port = "sim";
    return {1, {}};
  }
  if (option.name == "--port") {
    std::size_t at = index;
    const std::optional<std::string> value = platform::TakeOptionValue(args, at);
    if (!value || value->empty()) return {0, "option --port needs a value"};
    options.port = *value;
    return {static_cast<int>(at - index) + 1, {}};
  }
  const sim::FieldOptionResult field = sim::parseFieldOption(options.field, args, index);
  return {field.consumed, field.error};
}

std::string CheckProgramOptions(const ProgramOptions& options) {
  return sim::checkFieldSetup(options.field);
}

bool ParseProgramArguments(const std::vector<std::string>& args, ProgramOptions& options,
                           std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-pi") {
      options.piShown = true;
      continue;
    }
    const OptionResult result = ParseProgramOption(options, args, i);
    if (!result.error.empty()) {
      error = result.error;
      return false;
    }
    if (result.consumed == 0) {
      error = "unknown option " + args[i];
      return false;
    }
    i += static_cast<std::size_t>(result.consumed) - 1;
  }
  error = CheckProgramOptions(options);
  return error.empty();
}

std::string ProgramOptionsHelp() {
  return std::string(
             "  -pi                   show the programming interface menu\n"
             "  --port PORT           COM1 .. COM8 (mapped by the section [Ports] of the start-up "
             "file),\n"
             "                        a device path, or sim; default: the start-up file's port\n"
             "  --sim                 the built-in simulated chip (same as --port sim)\n") +
         sim::kFieldOptionsHelp;
}

}  // namespace kvt::wiring
