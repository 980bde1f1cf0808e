#pragma once

#include <string>
#include <string_view>

#include "app/app_state.h"

// The programming interface: a pop-up menu of actions that drive the component stack
// directly, shown only with the "-pi" switch. Ids 50500 to 50532 belong to it.
namespace kvt::app {

// Puts the three built-in items at the top of the menu, so it reads "Action &3",
// "Action &2", "Korvex Reader" from the top.
void FillPiMenu(const DialogContext& context);
// Puts one more item at the top (for added actions, ids above 50502).
void AddPiMenuItem(const DialogContext& context, int id, std::string_view text);
// Shows the menu below the "C++ &Interface" button; the chosen item comes back to the main
// window as a command.
void ShowPiMenu(const DialogContext& context);
// Runs the action whose id is in the low 16 bits of context.wParam. With the port closed it
// only reports that; otherwise it purges the port and runs the action under the chip lock.
void RunPiAction(const DialogContext& context);
// Writes `value` as decimal text under `key` in `section` of the INI file `file`. Offered to
// actions a user adds to the menu; the built-in ones store nothing.
bool WriteProfileInteger(std::string_view section, std::string_view key, int value,
                         const std::string& file);

}  // namespace kvt::app
