#include "cli/cli_options.h"

#include <span>
#include <string_view>

#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

struct Option {
  std::string_view name;
  std::string_view value;
  bool hasInlineValue = false;
};

Option split(std::string_view arg) {
  const size_t equals = arg.find('=');
  if (!arg.starts_with("--") || equals == arg.npos) return {arg, {}, false};
  return {arg.substr(0, equals), arg.substr(equals + 1), true};
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !arg.starts_with("-") || arg == "-") {
      if (options.command.empty()) {
        options.command = arg;
      } else {
        options.arguments.push_back(arg);
      }
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const sim::FieldOptionResult field =
        sim::parseFieldOption(options.field, std::span<const std::string>(args), i);
    if (!field.error.empty()) {
      error = field.error;
      return false;
    }
    if (field.consumed > 0) {
      i += static_cast<size_t>(field.consumed) - 1;
      continue;
    }

    const Option option = split(arg);
    auto value = [&](std::string& out) {
      if (option.hasInlineValue) {
        out = option.value;
      } else if (i + 1 < args.size()) {
        out = args[++i];
      } else {
        error = "option " + std::string(option.name) + " needs a value";
        return false;
      }
      if (out.empty()) {
        error = "option " + std::string(option.name) + " needs a value";
        return false;
      }
      return true;
    };
    auto noValue = [&] {
      if (option.hasInlineValue) error = "option " + std::string(option.name) + " takes no value";
      return !option.hasInlineValue;
    };

    std::string text;
    if (option.name == "--help" || option.name == "-h") {
      if (!noValue()) return false;
      options.help = true;
    } else if (option.name == "--version") {
      if (!noValue()) return false;
      options.version = true;
    } else if (option.name == "--strict") {
      if (!noValue()) return false;
      options.strict = true;
    } else if (option.name == "--testlog") {
      if (!noValue()) return false;
      options.testLog = true;
    } else if (option.name == "--sim") {
      if (!noValue()) return false;
      options.port = "sim";
    } else if (option.name == "--port") {
      if (!value(text)) return false;
      options.port = text;
    } else if (option.name == "--config") {
      if (!value(text)) return false;
      options.config = text;
      options.configGiven = true;
    } else if (option.name == "--log") {
      if (!value(text)) return false;
      options.logFile = text;
    } else if (option.name == "--baud") {
      if (!value(text)) return false;
      if (text != "9600" && text != "115200") {
        error = "option --baud takes 9600 or 115200, not '" + text + "'";
        return false;
      }
      options.baud = static_cast<uint32_t>(std::stoul(text));
    } else {
      error = "unknown option " + std::string(option.name);
      return false;
    }
  }
  const std::string fieldError = sim::checkFieldSetup(options.field);
  if (!fieldError.empty()) {
    error = fieldError;
    return false;
  }
  return true;
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
      "  --baud 115200         after opening, switch chip and PC to 115200 bit/s together\n"
      "  --log FILE            append the log to FILE at the end, as Log > Save does\n"
      "  --strict              exit 1 when a line failed, a register access returned a status\n"
      "                        other than 0000, or a compare reported ** ERROR **\n"
      "  --testlog             write test patterns as the section [TestLog] of the start-up\n"
      "                        file sets them up, with the output switched on\n"
      "  --help                this text\n"
      "  --version             the program's version\n"
      "Simulated chip (with --sim):\n";
  text += sim::kFieldOptionsHelp;
  text +=
      "\n"
      "Exit status: 0 done, 1 a failure under --strict, 2 a usage error or a port that cannot\n"
      "be opened.\n";
  return text;
}

}  // namespace kvt::cli
