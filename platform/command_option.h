#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Reading the options of a program's command line: "--name", "--name=VALUE" or "--name VALUE".
namespace kvt::platform {

struct CommandOption {
  std::string_view name;                        // "--port" of "--port=COM2"
  std::optional<std::string_view> inlineValue;  // "COM2" of "--port=COM2"
};

// Splits "--name=VALUE" at its first '='; any other argument is a name without a value.
CommandOption SplitOption(std::string_view arg);

// The value of the option at args[index]: after its '=' or, without one, the next argument,
// in which case `index` moves onto that argument. Nullopt when the last argument has no value.
std::optional<std::string> TakeOptionValue(std::span<const std::string> args, std::size_t& index);

}  // namespace kvt::platform
