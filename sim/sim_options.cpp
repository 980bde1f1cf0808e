#include "sim/sim_options.h"

#include <string_view>
#include <vector>

namespace kvt::sim {

namespace {

bool parseHexByte(std::string_view text, uint8_t& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 2) return false;
  unsigned result = 0;
  for (char c : text) {
    result <<= 4;
    if (c >= '0' && c <= '9') {
      result |= static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      result |= static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      result |= static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
  }
  value = static_cast<uint8_t>(result);
  return true;
}

}  // namespace

bool parseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view name = arg;
    std::string_view inlineValue;
    bool hasInlineValue = false;
    if (const size_t equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
      name = arg.substr(0, equals);
      inlineValue = arg.substr(equals + 1);
      hasInlineValue = true;
    }
    // The value of an option that takes one: after '=' or the next argument.
    auto value = [&](std::string_view& out) {
      if (hasInlineValue) {
        out = inlineValue;
        return true;
      }
      if (i + 1 >= argc) {
        error = "option " + std::string(name) + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    auto noValue = [&] {
      if (hasInlineValue) error = "option " + std::string(name) + " takes no value";
      return !hasInlineValue;
    };

    std::string_view text;
    if (name == "--help" || name == "-h") {
      if (!noValue()) return false;
      options.help = true;
    } else if (name == "--link") {
      if (!value(text)) return false;
      if (text.empty()) {
        error = "option --link needs a path";
        return false;
      }
      options.link = text;
    } else if (name == "--version-reg") {
      if (!value(text)) return false;
      if (!parseHexByte(text, options.version)) {
        error = "option --version-reg needs a hexadecimal byte (00 to FF), not '" +
                std::string(text) + "'";
        return false;
      }
    } else if (name == "--test-chip") {
      if (!noValue()) return false;
      options.testChip = true;
    } else {
      // The cards in the field.
      const std::vector<std::string> rest(argv + i, argv + argc);
      const FieldOptionResult field = parseFieldOption(options.field, rest, 0);
      if (!field.error.empty()) {
        error = field.error;
        return false;
      }
      if (field.consumed == 0) {
        error = "unknown option '" + std::string(arg) + "' (see --help)";
        return false;
      }
      i += field.consumed - 1;
    }
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
         "  --help, -h         print this text and exit\n"
         "\n"
         "Cards in the field (default: one Korvex 1K card, UID C43B9E12, ATQA 04 00, SAK 08,\n"
         "key A and key B 5A17C3E90B42 in every sector):\n" +
         std::string(kFieldOptionsHelp);
}

}  // namespace kvt::sim
