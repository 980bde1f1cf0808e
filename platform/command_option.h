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

// A program's options as a table: flags that set a bool of `Options`, and options with a value
// that `apply` checks and stores (returning an error text, or empty when the value is fine).
template <typename Options>
struct OptionTable {
  struct Flag {
    std::string_view name;
    bool Options::*flag;
  };
  struct Valued {
    std::string_view name;
    std::string (*apply)(Options& options, const std::string& value);
  };
  std::span<const Flag> flags;
  std::span<const Valued> valued;
};

// Applies the option at args[index] from `table`, moving `index` onto a value given as the next
// argument. Nullopt when the table has no such option; else an error text, or empty.
template <typename Options>
std::optional<std::string> ApplyTableOption(const OptionTable<Options>& table,
                                            std::span<const std::string> args, std::size_t& index,
                                            Options& options) {
  const CommandOption option = SplitOption(args[index]);
  const std::string name(option.name);
  for (const auto& rule : table.flags) {
    if (rule.name != name) continue;
    if (option.inlineValue) return "option " + name + " takes no value";
    options.*rule.flag = true;
    return std::string();
  }
  for (const auto& rule : table.valued) {
    if (rule.name != name) continue;
    const std::optional<std::string> value = TakeOptionValue(args, index);
    if (!value) return "option " + name + " needs a value";
    return rule.apply(options, *value);
  }
  return std::nullopt;
}

}  // namespace kvt::platform
