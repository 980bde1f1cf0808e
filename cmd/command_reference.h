#pragma once

#include "app/app_state.h"

namespace kvt::cmd {

// Help > "&Commands": empties the log and prints the reference of every command and of the
// user registers, line by line.
void PrintCommandReference(const app::DialogContext& context);

}  // namespace kvt::cmd
