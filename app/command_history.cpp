#include "app/command_history.h"

#include <algorithm>

namespace kvt::app {

void RememberCommand(AppState& app, const std::string& command) {
  auto& history = app.commandHistory;
  const auto same = std::find(history.begin(), history.end(), command);
  if (same != history.end()) {
    history.erase(same);
  } else if (history.size() >= kHistorySize) {
    history.erase(history.begin());
  }
  history.push_back(command);
  app.historyIndex = static_cast<int32_t>(history.size()) - 1;
  app.historyBrowsing = 0;
}

std::optional<std::string> BrowseHistory(AppState& app, platform::Key key) {
  if (key == platform::Key::Up) {
    if (app.historyBrowsing != 0) {
      --app.historyIndex;
    } else {
      app.historyBrowsing = 1;  // the first Up shows the entry already selected: the newest
    }
  } else {
    ++app.historyIndex;
    app.historyBrowsing = 1;
  }
  const auto& history = app.commandHistory;
  if (history.empty()) return std::nullopt;
  const auto count = static_cast<int32_t>(history.size());
  if (app.historyIndex < 0 || app.historyIndex >= count) {
    app.historyIndex = key == platform::Key::Up ? count - 1 : 0;
  }
  return history[app.historyIndex];
}

}  // namespace kvt::app
