#pragma once

#include <optional>
#include <string>

#include "app/app_state.h"
#include "platform/shell.h"

// The command line's history: the last 16 commands that ran, oldest first.
namespace kvt::app {

constexpr std::size_t kHistorySize = 16;

// Puts a command that ran into the history as its newest entry: an equal entry (exact case)
// moves there instead of being repeated; with 16 entries the oldest is dropped. The arrow keys
// then start from the newest entry.
void RememberCommand(AppState& app, const std::string& command);

// Up or Down on the command line: the entry to show, or nullopt with an empty history. The
// first Up after a command ran shows the newest entry; stepping past either end wraps (Up to
// the newest, Down to the oldest).
std::optional<std::string> BrowseHistory(AppState& app, platform::Key key);

}  // namespace kvt::app
