#include "gui/kvt_options.h"

#include <span>

#include "app/startup.h"

namespace kvt::gui {

namespace {

// The value of option args[i] ("--log FILE" or "--log=FILE"); advances i past it.
bool valueOf(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
             std::string& value, std::string& error) {
  const std::string& arg = args[i];
  if (arg.size() > name.size() && arg[name.size()] == '=') {
    value = arg.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  }
  if (value.empty()) error = "option " + name + " needs a value";
  return !value.empty();
}

bool named(const std::string& arg, const std::string& name) {
  return arg == name || arg.starts_with(name + "=");
}

}  // namespace

bool ParseKvtOptions(const std::vector<std::string>& args, KvtOptions& options,
                     std::string& error) {
  std::string commandLine;
  for (const std::string& arg : args) commandLine += arg + " ";
  options.piShown = app::HasPiSwitch(commandLine);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.starts_with("--")) continue;  // -pi, the toolkit's options, plain words
    const sim::FieldOptionResult field =
        sim::parseFieldOption(options.field, std::span<const std::string>(args), i);
    if (!field.error.empty()) {
      error = field.error;
      return false;
    }
    if (field.consumed > 0) {
      i += static_cast<std::size_t>(field.consumed) - 1;
      continue;
    }
    std::string value;
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--sim") {
      options.port = "sim";
    } else if (named(arg, "--port")) {
      if (!valueOf(args, i, "--port", value, error)) return false;
      options.port = value;
    } else if (named(arg, "--config")) {
      if (!valueOf(args, i, "--config", value, error)) return false;
      options.config = value;
    } else if (named(arg, "--log")) {
      if (!valueOf(args, i, "--log", value, error)) return false;
      options.logFile = value;
    } else {
      error = "unknown option " + arg.substr(0, arg.find('='));
      return false;
    }
  }
  error = sim::checkFieldSetup(options.field);
  return error.empty();
}

std::string KvtUsage() {
  std::string text =
      "Usage: kvt [OPTIONS] [-pi]\n"
      "\n"
      "The desktop window of kvt, the bench tool for the KV380 reader chip. It starts with the\n"
      "port that kvt_start.cfg in the working folder names and writes the port back at exit.\n"
      "\n"
      "Options:\n"
      "  -pi                   show the programming interface (\"C++ Interface\")\n"
      "  --port PORT           COM1 .. COM8 (mapped by the section [Ports] of the start-up file),\n"
      "                        a device path, or sim, for this run; the saved port stays\n"
      "  --sim                 the built-in simulated chip for this run (same as --port sim)\n"
      "  --config FILE         the start-up file (default ./kvt_start.cfg)\n"
      "  --log FILE            append the log to FILE as it grows\n"
      "  --help                this text\n"
      "  --version             the program's version\n"
      "Simulated chip (with --sim):\n";
  text += sim::kFieldOptionsHelp;
  text += "\nExit status: 0 done, 2 a usage error or a log file that cannot be written.\n";
  return text;
}

}  // namespace kvt::gui
