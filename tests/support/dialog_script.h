#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/app_wiring.h"

namespace kvt::test {

// Plays a dialog file against a dialog procedure on a fake view, one step a line; "#" starts a
// comment, ids are the controls' numbers, TEXT is the rest of the line with \r \n \t escaped.
//   init | close | click ID | type ID TEXT | edit ID TEXT (no notice) | choose ID N |
//   check ID 0|1 | key ID Up|Down|Escape | clear-log [ID] | poke AA VV | new-view | no-font |
//   answer PATH|cancel (the next file chooser's answer)
// and the checks
//   text ID TEXT | enabled ID 0|1 | visible ID 0|1 | checked ID 0|1 | selected ID N |
//   items ID A|B|C | item ID N TEXT | count ID N | focus ID | closed N|none | sets ID N |
//   appends ID N (setText and appendText calls) | mono ID 0|1 | caret ID N |
//   main-text ID TEXT | log TEXT (the next log line) | lines N (in the log) | chooser N TEXT
//   (request N: save|open|filter|pattern|initial name
//   [|must exist]) | reg AA VV
// Every log line must be checked by the end; after the program empties the log, checking
// starts again at its first line. `extra` gets the verbs the file's folder adds.
class DialogScript {
 public:
  using Extra = std::function<void(const std::string& verb, std::istringstream& args)>;

  DialogScript(AppWiring& wiring, platform::DialogProcedure& procedure, FakeView& view)
      : wiring_(wiring), procedure_(procedure), view_(view) {}

  void run(const std::filesystem::path& file, const Extra& extra = {}) {
    std::istringstream lines(ReadFile(file));
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      if (line.empty() || line[0] == '#') continue;
      SCOPED_TRACE(file.filename().string() + ":" + std::to_string(number) + ": " + line);
      std::istringstream args(line);
      std::string verb;
      args >> verb;
      if (!step(verb, args) && !check(verb, args)) {
        ASSERT_TRUE(extra) << "unknown step";
        extra(verb, args);
      }
    }
    const auto log = wiring_.logLines();
    for (std::size_t i = seen_ > log.size() ? 0 : seen_; i < log.size(); ++i) {
      ADD_FAILURE() << "unchecked: " << log[i];
    }
  }

  // The rest of the line after one blank, with its escapes undone.
  static std::string Rest(std::istringstream& args) {
    std::string text;
    if (args.peek() == ' ') args.get();
    std::getline(args, text);
    for (auto [code, c] : {std::pair{"\\r", '\r'}, {"\\n", '\n'}, {"\\t", '\t'}}) {
      for (std::size_t at; (at = text.find(code)) != std::string::npos;) text.replace(at, 2, 1, c);
    }
    return text;
  }

 private:
  bool step(const std::string& verb, std::istringstream& args) {
    int id = 0, n = 0;
    if (verb == "init") {
      procedure_.init(view_);
    } else if (verb == "close") {
      procedure_.closeRequest(view_);
    } else if (verb == "click" && args >> id) {
      procedure_.command(view_, id, platform::notify::Clicked);
    } else if ((verb == "type" || verb == "edit") && args >> id) {
      view_.type(id, Rest(args));
      if (verb == "type") procedure_.command(view_, id, platform::notify::Changed);
    } else if (verb == "choose" && args >> id >> n) {
      view_.selectItem(id, n);
      procedure_.command(view_, id, platform::notify::SelectionChanged);
    } else if (verb == "check" && args >> id >> n) {
      view_.setChecked(id, n != 0);
    } else if (verb == "key" && args >> id) {
      const std::string key = Rest(args);
      procedure_.key(view_, id,
                     key == "Up"     ? platform::Key::Up
                     : key == "Down" ? platform::Key::Down
                                     : platform::Key::Escape);
    } else if (verb == "clear-log") {
      id = args >> id ? id : 0;
      wiring_.log.clear(id ? &view_ : nullptr, id);
      seen_ = 0;
    } else if (verb == "new-view") {
      view_ = FakeView();
    } else if (verb == "no-font") {
      view_.fontAvailable = false;
    } else if (verb == "answer") {
      const std::string path = Rest(args);
      wiring_.shell.chooserAnswers.push_back(path == "cancel" ? std::nullopt
                                                              : std::optional<std::string>(path));
    } else if (verb == "poke" && args >> std::hex >> id >> n) {
      wiring_.chip.poke(id, n);
    } else {
      return false;
    }
    return true;
  }

  bool check(const std::string& verb, std::istringstream& args) {
    int id = 0, n = 0;
    if (verb == "text" && args >> id) {
      EXPECT_EQ(view_.text(id), Rest(args));
    } else if (verb == "enabled" && args >> id >> n) {
      EXPECT_EQ(view_.isEnabled(id), n != 0);
    } else if (verb == "visible" && args >> id >> n) {
      EXPECT_EQ(view_.isVisible(id), n != 0);
    } else if (verb == "checked" && args >> id >> n) {
      EXPECT_EQ(view_.checked(id), n != 0);
    } else if (verb == "selected" && args >> id >> n) {
      EXPECT_EQ(view_.selectedItem(id), n);
    } else if (verb == "items" && args >> id) {
      std::string joined;
      for (const auto& item : view_.lists[id].items) joined += (joined.empty() ? "" : "|") + item;
      EXPECT_EQ(joined, Rest(args));
    } else if (verb == "caret" && args >> id >> n) {
      EXPECT_EQ(view_.carets[id], static_cast<std::size_t>(n));
    } else if (verb == "lines" && args >> n) {
      EXPECT_EQ(wiring_.logLines().size(), static_cast<std::size_t>(n));
    } else if (verb == "chooser" && args >> n) {
      EXPECT_EQ(Chooser(n), Rest(args));
    } else if (verb == "focus" && args >> id) {
      EXPECT_EQ(view_.focus, id);
    } else if (verb == "closed") {
      EXPECT_EQ(view_.closedWith, args >> n ? std::optional<int>(n) : std::nullopt);
    } else if (verb == "item" && args >> id >> n) {
      const auto& items = view_.lists[id].items;
      EXPECT_EQ(n < static_cast<int>(items.size()) ? items[n] : "(none)", Rest(args));
    } else if (verb == "count" && args >> id >> n) {
      EXPECT_EQ(view_.lists[id].items.size(), static_cast<std::size_t>(n));
    } else if (verb == "sets" && args >> id >> n) {
      EXPECT_EQ(view_.setTextCalls[id], n);
    } else if (verb == "appends" && args >> id >> n) {
      EXPECT_EQ(view_.appendTextCalls[id], n);
    } else if (verb == "mono" && args >> id >> n) {
      EXPECT_EQ(view_.monospace[id], n != 0);
    } else if (verb == "main-text" && args >> id) {
      EXPECT_EQ(wiring_.main.text(id), Rest(args));
    } else if (verb == "log") {
      const auto log = wiring_.logLines();
      if (seen_ > log.size()) seen_ = 0;  // the program cleared the log
      EXPECT_EQ(seen_ < log.size() ? log[seen_++] : "(no more lines)", Rest(args));
    } else if (verb == "reg" && args >> std::hex >> id >> n) {
      EXPECT_EQ(wiring_.chip.peek(id), n);
    } else {
      return false;
    }
    return true;
  }

  // File chooser request `i`: save or open, filter name, pattern, initial name, must exist.
  std::string Chooser(int i) const {
    const auto& requests = wiring_.shell.chooserRequests;
    if (i >= static_cast<int>(requests.size())) return "none";
    const auto& [save, r] = requests[i];
    return std::string(save ? "save|" : "open|") + r.filterName + "|" + r.pattern + "|" +
           r.initialName + (r.mustExist ? "|must exist" : "");
  }

  AppWiring& wiring_;
  platform::DialogProcedure& procedure_;
  FakeView& view_;
  std::size_t seen_ = 0;
};

// The files of `folder` whose names end in `suffix`, sorted, without the suffix: the
// parameters of a suite that plays each of them.
inline std::vector<std::string> ScriptNames(const std::filesystem::path& folder,
                                            const std::string& suffix) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(suffix)) names.push_back(name.substr(0, name.size() - suffix.size()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kvt::test
