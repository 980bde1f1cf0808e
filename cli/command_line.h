#pragma once

#include <optional>
#include <string>

#include "platform/shell.h"

namespace kvt::cli {

class Session;

// Types `line` into the main window's command line and presses "&Process": lines shorter than
// three characters are not run, at most 127 characters are, and a line that ran (LineDone)
// goes into the history.
void EnterCommandLine(Session& session, const std::string& line);

// Up or Down on the command line: the history entry now shown, or nullopt with no history.
std::optional<std::string> BrowseCommandLine(Session& session, platform::Key key);

}  // namespace kvt::cli
