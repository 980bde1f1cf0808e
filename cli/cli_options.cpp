#include "cli/cli_options.h"

#include <optional>
#include <string_view>

#include "cli/subcommands.h"
#include "platform/command_option.h"

namespace kvt::cli {

namespace {

std::string setConfig(CliOptions& options, const std::string& file) {
  if (file.empty()) return "option --config needs a value";
  options.config = file;
  options.configGiven = true;
  return {};
}

std::string setLog(CliOptions& options, const std::string& file) {
  if (file.empty()) return "option --log needs a value";
  options.logFile = file;
  return {};
}

std::string setTrace(CliOptions& options, const std::string& file) {
  if (file.empty()) return "option --trace needs a value";
  options.traceFile = file;
  return {};
}

std::string setBaud(CliOptions& options, const std::string& text) {
  if (text.empty()) return "option --baud needs a value";
  if (text != "9600" && text != "115200") {
    return "option --baud takes 9600 or 115200, not '" + text + "'";
  }
  options.baud = static_cast<uint32_t>(std::stoul(text));
  return {};
}

// kvt-cli's own options.
using Table = platform::OptionTable<CliOptions>;
const Table::Flag kFlags[] = {
    {"--help", &CliOptions::help},       {"-h", &CliOptions::help},
    {"--version", &CliOptions::version}, {"--strict", &CliOptions::strict},
    {"--verbose", &CliOptions::verbose}, {"--json", &CliOptions::json},
    {"--testlog", &CliOptions::testLog}, {"--trailers", &CliOptions::trailers}};
const Table::Valued kValued[] = {
    {"--config", setConfig}, {"--log", setLog}, {"--trace", setTrace}, {"--baud", setBaud}};

// Applies kvt-cli's own option at args[i], moving `i` past a value given as the next
// argument. An error text, or empty.
std::string applyOwnOption(const std::vector<std::string>& args, size_t& i, CliOptions& options) {
  const auto result = platform::ApplyTableOption(Table{kFlags, kValued}, args, i, options);
  return result ? *result : "unknown option " + std::string(platform::SplitOption(args[i]).name);
}

// The subcommand, or one of its arguments.
void addWord(const std::string& arg, CliOptions& options) {
  if (options.command.empty()) {
    options.command = arg;
  } else {
    options.arguments.push_back(arg);
  }
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
  bool optionsEnded = false;
  std::string fieldOption;  // the first option that sets up the simulated chip's field
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !arg.starts_with("-") || arg == "-") {
      addWord(arg, options);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // The port and the simulated chip's options first; then kvt-cli's own.
    const wiring::OptionResult shared = wiring::ParseProgramOption(options, args, i);
    if (shared.consumed > 0) {
      if (arg.starts_with("--sim-") && fieldOption.empty()) {
        fieldOption = std::string(platform::SplitOption(arg).name);
      }
      i += static_cast<size_t>(shared.consumed) - 1;
      continue;
    }
    error = shared.error.empty() ? applyOwnOption(args, i, options) : shared.error;
    if (!error.empty()) return false;
  }
  error = wiring::CheckProgramOptions(options);
  // The cards and faults would silently not exist on a real chip.
  if (error.empty() && !fieldOption.empty() && options.port != "sim") {
    error = "option " + fieldOption + " needs --sim";
  }
  return error.empty();
}

std::string CliUsage() {
  std::string text =
      "Usage: kvt-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
      "\n"
      "Drives the KV380 reader chip without a window. Standard output carries the log (lines\n"
      "end in LF); messages about the program itself go to standard error.\n"
      "\n"
      "Commands:\n";
  for (const Subcommand& subcommand : Subcommands()) {
    std::string synopsis = std::string(subcommand.name);
    if (!subcommand.arguments.empty()) synopsis += " " + std::string(subcommand.arguments);
    text += "  " + synopsis;
    text +=
        synopsis.size() < 20 ? std::string(20 - synopsis.size(), ' ') : "\n" + std::string(22, ' ');
    text += std::string(subcommand.summary) + "\n";
  }
  text +=
      "\n"
      "Options:\n"
      "  --port PORT           COM1 .. COM8 (mapped by the section [Ports] of the start-up file),\n"
      "                        a device path, or sim; default: the start-up file's port\n"
      "  --sim                 the built-in simulated chip (same as --port sim)\n"
      "  --config FILE         the start-up file (default ./kvt_start.cfg); read, never written\n"
      "  --baud 115200         after opening, switch chip and PC to 115200 bit/s together;\n"
      "                        the chip is switched back to 9600 at the end\n"
      "  --log FILE            append every log line to FILE as it is produced\n"
      "  --trace FILE          write every byte on the line to FILE (- for standard error)\n"
      "                        with its time in microseconds and the access it made\n"
      "  --strict              exit 1 when a line failed, a register access returned a status\n"
      "                        other than 0000, or a compare reported ** ERROR **\n"
      "  --verbose             describe each failing status on standard error (done anyway\n"
      "                        when standard error is a terminal)\n"
      "  --json                exec, run, dump, card: one JSON object per line on standard\n"
      "                        output (accesses, compares, card steps, messages) instead of\n"
      "                        the log text\n"
      "  --testlog             write test patterns as the section [TestLog] of the start-up\n"
      "                        file sets them up, with the output switched on\n"
      "  --trailers            card restore: also write the sector trailers (keys, access bits)\n"
      "  --help                this text\n"
      "  --version             the program's version\n"
      "Simulated chip (with --sim):\n";
  text += sim::kFieldOptionsHelp;
  text +=
      "\n"
      "Exit status: 0 done, 1 a failure under --strict (also a jump to a missing label, a dump\n"
      "whose reads failed, a failing card step, a run broken by Ctrl-C), a lost port, a card\n"
      "dump or restore without card or image, or a --sim-save that could not write its file,\n"
      "2 a usage error or a port that cannot be opened. Ctrl-C or SIGTERM ends the wait in\n"
      "progress and the work after it, then the chip is switched back to its rate; after\n"
      "SIGTERM the status is 143. A second Ctrl-C or SIGTERM ends kvt-cli at once (130, 143).\n";
  return text;
}

}  // namespace kvt::cli
