#include "sim/sim_options.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/command_option.h"
#include "platform/hex_text.h"

namespace kvt::sim {

namespace {

// "28", "0x28" or "F": one byte in one or two hexadecimal digits.
bool parseHexByte(std::string_view text, uint8_t& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 2) return false;
  unsigned result = 0;
  for (char c : text) {
    const int digit = platform::HexDigitValue(c);
    if (digit < 0) return false;
    result = result << 4 | static_cast<unsigned>(digit);
  }
  value = static_cast<uint8_t>(result);
  return true;
}

std::string setLink(SimOptions& options, const std::string& path) {
  if (path.empty()) return "option --link needs a path";
  options.link = path;
  return {};
}

std::string setTrace(SimOptions& options, const std::string& path) {
  if (path.empty()) return "option --trace needs a file";
  options.trace = path;
  return {};
}

std::string setVersion(SimOptions& options, const std::string& text) {
  if (parseHexByte(text, options.version)) return {};
  return "option --version-reg needs a hexadecimal byte (00 to FF), not '" + text + "'";
}

struct LineCountOption {
  std::string_view name;
  uint64_t least;
  uint64_t most;
  const char* what;
};

constexpr LineCountOption kLineCountOptions[] = {
    {"--line-silent-after", 0, 1'000'000'000, "a number of bytes"},
    {"--line-drop-every", 1, 1'000'000'000, "a number of bytes"},
    {"--line-late", 1, 60'000, "milliseconds"},
    {"--line-noise", 1, 60'000, "milliseconds"},
    {"--line-close-after", 1, 1'000'000'000, "a number of bytes"},
};

// A decimal number within the option's range.
bool parseCount(std::string_view text, const LineCountOption& option, uint64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value >= option.least && value <= option.most;
}

// Stores the value of the line fault option `name`.
void storeLineFault(LineFaultOptions& line, std::string_view name, uint64_t value) {
  if (name == "--line-silent-after") line.silentAfter = value;
  if (name == "--line-drop-every") line.dropEvery = static_cast<uint32_t>(value);
  if (name == "--line-late") line.lateMs = static_cast<uint32_t>(value);
  if (name == "--line-noise") line.noiseMs = static_cast<uint32_t>(value);
  if (name == "--line-close-after") line.closeAfter = value;
}

constexpr LineCountOption kLatency{"--latency", 0, 1000, "milliseconds"};

std::string setLatency(SimOptions& options, const std::string& text) {
  uint64_t ms = 0;
  if (!parseCount(text, kLatency, ms)) {
    return "option --latency needs milliseconds from 0 to 1000, not '" + text + "'";
  }
  options.latencyMs = static_cast<uint32_t>(ms);
  return {};
}

template <size_t Index>
std::string setLineCount(SimOptions& options, const std::string& text) {
  const LineCountOption& rule = kLineCountOptions[Index];
  uint64_t count = 0;
  if (!parseCount(text, rule, count)) {
    return "option " + std::string(rule.name) + " needs " + rule.what + " from " +
           std::to_string(rule.least) + " to " + std::to_string(rule.most) + ", not '" + text + "'";
  }
  storeLineFault(options.line, rule.name, count);
  return {};
}

using Table = platform::OptionTable<SimOptions>;
const Table::Flag kFlags[] = {{"--help", &SimOptions::help},
                              {"-h", &SimOptions::help},
                              {"--version", &SimOptions::showVersion},
                              {"--test-chip", &SimOptions::testChip},
                              {"--pace", &SimOptions::pace}};
const Table::Valued kValued[] = {{"--link", setLink},
                                 {"--version-reg", setVersion},
                                 {"--trace", setTrace},
                                 {"--latency", setLatency},
                                 {kLineCountOptions[0].name, setLineCount<0>},
                                 {kLineCountOptions[1].name, setLineCount<1>},
                                 {kLineCountOptions[2].name, setLineCount<2>},
                                 {kLineCountOptions[3].name, setLineCount<3>},
                                 {kLineCountOptions[4].name, setLineCount<4>}};

// Applies the option at args[i], moving `i` past the arguments it takes. An error text, or
// empty.
std::string applyOption(std::span<const std::string> args, size_t& i, SimOptions& options) {
  // A flag of the nested line faults, which the table's flags cannot reach.
  if (args[i] == "--line-wrong-echo") {
    options.line.wrongEcho = true;
    return {};
  }
  if (auto result = platform::ApplyTableOption(Table{kFlags, kValued}, args, i, options)) {
    return *result;
  }
  // The cards in the field.
  const FieldOptionResult field = parseFieldOption(options.field, args, i);
  if (!field.error.empty()) return field.error;
  if (field.consumed == 0) return "unknown option '" + args[i] + "'";
  i += static_cast<size_t>(field.consumed) - 1;
  return {};
}

}  // namespace

bool parseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    error = applyOption(args, i, options);
    if (!error.empty()) return false;
  }
  error = checkFieldSetup(options.field);
  return error.empty();
}

std::string simUsage() {
  return "Usage: kvt-sim [OPTIONS]\n"
         "\n"
         "Simulates a KV380 reader chip on a pseudo-terminal. The first line of standard\n"
         "output is the device path of the terminal; open it with any serial program (kvt\n"
         "included) at 9600 bit/s, 8N1. The chip is served until SIGINT or SIGTERM, and keeps\n"
         "its state while programs close and reopen the terminal. A program that sets another\n"
         "line rate than the chip's is not understood, as on a real line; writing 0x79 to\n"
         "register 0x1F switches the chip to 115200 bit/s after its echo.\n"
         "\n"
         "A pseudo-terminal has no modem lines, so the chip's interrupt output does not reach\n"
         "the RI input: over kvt-sim RI is unknown and WIL and WIE always end with result 0.\n"
         "The chip inside kvt-cli --sim and kvt --sim drives RI.\n"
         "\n"
         "Options:\n"
         "  --link PATH        also make PATH a symbolic link to the terminal (removed at exit);\n"
         "                     an existing PATH is replaced only when it is a link to a\n"
         "                     pseudo-terminal that no longer exists\n"
         "  --version-reg HEX  value of the version register 0x37, 00 to FF (default 28)\n"
         "  --test-chip        use the test-chip address layout (address in bits 6..1) and\n"
         "                     send and expect every byte bit-mirrored\n"
         "  --trace FILE       write every byte on the line to FILE (- for standard error)\n"
         "                     with its time in microseconds and the access it made\n"
         "  --pace             deliver every byte when a real line would: 10 bits a byte at\n"
         "                     the rate of the moment (9600 or 115200), one after the other;\n"
         "                     the chip's timer follows this time\n"
         "  --latency MS       hold every answer byte MS ms more before the host can read it,\n"
         "                     as a USB serial adapter does (0 to 1000)\n"
         "  --help, -h         print this text and exit\n"
         "  --version          print the program's version and exit\n"
         "\n"
         "Faults of the line itself (see sim/README.md):\n"
         "  --line-silent-after N  answer the host's first N bytes, then nothing\n"
         "  --line-wrong-echo      echo every register write with a wrong byte\n"
         "  --line-drop-every N    lose every Nth byte the chip sends\n"
         "  --line-late MS         send every byte MS milliseconds late (1 to 60000)\n"
         "  --line-noise MS        send an unsolicited random byte every MS ms (1 to 60000)\n"
         "  --line-close-after N   hang up after the host's first N bytes (kvt-sim ends)\n"
         "\n"
         "Cards in the field (default: one Korvex 1K card, UID C43B9E12, ATQA 04 00, SAK 08,\n"
         "key A and key B 5A17C3E90B42 in every sector):\n" +
         std::string(kFieldOptionsHelp);
}

}  // namespace kvt::sim
