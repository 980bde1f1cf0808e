#include "gui/kvt_options.h"

#include "app/startup.h"
#include "platform/command_option.h"

namespace kvt::gui {

namespace {

// kvt's own option at args[i]; moves `i` past a value given as the next argument.
std::string applyOwnOption(const std::vector<std::string>& args, std::size_t& i,
                           KvtOptions& options) {
  const platform::CommandOption option = platform::SplitOption(args[i]);
  const std::string name(option.name);
  if (name == "--help" || name == "--version") {
    if (option.inlineValue) return "option " + name + " takes no value";
    (name == "--help" ? options.help : options.version) = true;
    return {};
  }
  if (name != "--config" && name != "--log") return "unknown option " + name;
  const std::optional<std::string> value = platform::TakeOptionValue(args, i);
  if (!value || value->empty()) return "option " + name + " needs a value";
  (name == "--config" ? options.config : options.logFile) = *value;
  return {};
}

}  // namespace

bool ParseKvtOptions(const std::vector<std::string>& args, KvtOptions& options,
                     std::string& error) {
  std::string commandLine;
  for (const std::string& arg : args) commandLine += arg + " ";
  options.piShown = app::HasPiSwitch(commandLine);
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!args[i].starts_with("--")) continue;  // -pi, the toolkit's options, plain words
    const wiring::OptionResult shared = wiring::ParseProgramOption(options, args, i);
    if (shared.consumed > 0) {
      i += static_cast<std::size_t>(shared.consumed) - 1;
      continue;
    }
    error = shared.error.empty() ? applyOwnOption(args, i, options) : shared.error;
    if (!error.empty()) return false;
  }
  error = wiring::CheckProgramOptions(options);
  return error.empty();
}

std::string KvtUsage() {
  return "Usage: kvt [OPTIONS]\n"
         "\n"
         "The desktop window of kvt, the bench tool for the KV380 reader chip. It starts with\n"
         "the port that the start-up file names and writes the chosen port back at exit; --sim\n"
         "uses the simulated chip for this run and leaves the saved port as it was.\n"
         "\n"
         "Options:\n" +
         wiring::ProgramOptionsHelp() +
         "  --config FILE         the start-up file (default ./kvt_start.cfg)\n"
         "  --log FILE            append the log to FILE as it grows\n"
         "  --help                this text\n"
         "  --version             the program's version\n"
         "\n"
         "Exit status: 0 done, 2 a usage error or a log file that cannot be written.\n";
}

}  // namespace kvt::gui
