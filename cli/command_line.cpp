#include "cli/command_line.h"

#include "app/control_ids.h"
#include "cli/session.h"

namespace kvt::cli {

void EnterCommandLine(Session& session, const std::string& line) {
  session.window().setText(app::id::CommandLine, line);
  session.mainWindow().command(session.window(), app::id::Process, platform::notify::Clicked);
}

std::optional<std::string> BrowseCommandLine(Session& session, platform::Key key) {
  if (session.state().commandHistory.empty()) return std::nullopt;
  session.mainWindow().key(session.window(), app::id::CommandLine, key);
  return session.window().text(app::id::CommandLine);
}

}  // namespace kvt::cli
