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

using Table = platform::OptionTable<SimOptions>;
const Table::Flag kFlags[] = {{"--help", &SimOptions::help},
                              {"-h", &SimOptions::help},
                              {"--version", &SimOptions::showVersion},
                              {"--test-chip", &SimOptions::testChip}};
const Table::Valued kValued[] = {
    {"--link", setLink}, {"--version-reg", setVersion}, {"--trace", setTrace}};

// Applies the option at args[i], moving `i` past the arguments it takes. An error text, or
// empty.
std::string applyOption(std::span<const std::string> args, size_t& i, SimOptions& options) {
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
         "Options:\n"
         "  --link PATH        also make PATH a symbolic link to the terminal (removed at exit;\n"
         "                     an existing file other than a symbolic link is not replaced)\n"
         "  --version-reg HEX  value of the version register 0x37, 00 to FF (default 28)\n"
         "  --test-chip        use the test-chip address layout (address in bits 6..1) and\n"
         "                     send and expect every byte bit-mirrored\n"
         "  --trace FILE       write every byte on the line to FILE (- for standard error)\n"
         "                     with its time in microseconds and the access it made\n"
         "  --help, -h         print this text and exit\n"
         "  --version          print the program's version and exit\n"
         "\n"
         "Cards in the field (default: one Korvex 1K card, UID C43B9E12, ATQA 04 00, SAK 08,\n"
         "key A and key B 5A17C3E90B42 in every sector):\n" +
         std::string(kFieldOptionsHelp);
}

}  // namespace kvt::sim
