#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"

namespace kvt::cmd {

// Help > "&Commands": empties the log and prints the reference of every command and of the
// user registers, line by line.
void PrintCommandReference(const app::DialogContext& context);

// Appends the reference entry of one command (its name in any case: "sr", "//>") to the log,
// without emptying it. False, with nothing printed, when no command has that name.
bool PrintCommandEntry(const app::DialogContext& context, std::string_view command);

// The names of the commands the reference documents, in its order.
std::vector<std::string> CommandNames();

}  // namespace kvt::cmd
