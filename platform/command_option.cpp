#include "platform/command_option.h"

namespace kvt::platform {

CommandOption SplitOption(std::string_view arg) {
  const std::size_t equals = arg.find('=');
  if (!arg.starts_with("--") || equals == arg.npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

std::optional<std::string> TakeOptionValue(std::span<const std::string> args, std::size_t& index) {
  const CommandOption option = SplitOption(args[index]);
  if (option.inlineValue) return std::string(*option.inlineValue);
  if (index + 1 >= args.size()) return std::nullopt;
  return args[++index];
}

}  // namespace kvt::platform
