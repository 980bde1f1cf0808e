#pragma once

#include <string_view>

#include "app/app_state.h"

// The card reader has no log of its own: it writes the program's log and shows it in its own
// pane (1076 of context.window) while it is open. The main window's pane keeps its old text
// until the main window reports again, which then shows the whole log there.
namespace kvt::cardreader {

// As AppendLog, but shown in the dialog's pane. Nothing happens while the program has no log.
void AppendCardLog(const app::DialogContext& context, std::string_view text, bool lineEnd = true);
// Empties the log and the dialog's pane (at opening and closing).
void ClearCardLog(const app::DialogContext& context);

}  // namespace kvt::cardreader
