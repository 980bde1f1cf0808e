#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/shell.h"
#include "platform/view.h"

namespace kvt::test {

// A window that records everything the program does to it. Unknown controls read as empty,
// enabled, visible and unchecked. `type` plays a user typing into an edit.
class FakeView final : public platform::View {
 public:
  struct List {
    std::vector<std::string> items;
    int selected = -1;
  };

  std::string text(int id) const override { return Find(texts, id, std::string()); }
  void setText(int id, std::string_view text) override {
    texts[id] = std::string(text);
    userEdited[id] = false;
    ++setTextCalls[id];
  }
  void appendText(int id, std::string_view text) override {
    texts[id] += std::string(text);
    ++appendTextCalls[id];
  }
  void setCaret(int id, std::size_t position) override { carets[id] = position; }
  bool modified(int id) const override { return Find(userEdited, id, false); }
  void enable(int id, bool on) override { enabled[id] = on; }
  void setVisible(int id, bool on) override { visible[id] = on; }
  void setFocus(int id) override { focus = id; }
  bool setMonospaceFont(int id) override {
    if (!fontAvailable) return false;
    monospace[id] = true;
    return true;
  }
  bool checked(int id) const override { return Find(checks, id, false); }
  void setChecked(int id, bool on) override { checks[id] = on; }
  void addItem(int id, std::string_view text) override { lists[id].items.emplace_back(text); }
  void clearItems(int id) override { lists[id] = List{}; }
  void selectItem(int id, int index) override { lists[id].selected = index; }
  int selectedItem(int id) const override { return Find(lists, id, List{}).selected; }
  void close(int result) override { closedWith = result; }

  // The user types into an edit: the text changes and the edit counts as modified.
  void type(int id, std::string_view newText) {
    texts[id] = std::string(newText);
    userEdited[id] = true;
  }
  bool isEnabled(int id) const { return Find(enabled, id, true); }
  bool isVisible(int id) const { return Find(visible, id, true); }

  std::map<int, std::string> texts;
  std::map<int, bool> userEdited;
  std::map<int, int> setTextCalls;
  std::map<int, int> appendTextCalls;
  std::map<int, std::size_t> carets;
  std::map<int, bool> enabled;
  std::map<int, bool> visible;
  std::map<int, bool> checks;
  std::map<int, bool> monospace;
  std::map<int, List> lists;
  int focus = 0;
  bool fontAvailable = true;
  std::optional<int> closedWith;

 private:
  template <typename Value>
  static Value Find(const std::map<int, Value>& map, int id, Value otherwise) {
    auto it = map.find(id);
    return it == map.end() ? otherwise : it->second;
  }
};

// A shell that answers file choosers and pop-up menus from scripts and records every request.
// A modal dialog gets a FakeView, is initialised, and is then driven by `modalDriver` (if
// set) before runModal returns its close result (-1 when the driver left it open).
class FakeShell final : public platform::Shell {
 public:
  struct ChooserRequest {
    bool save;
    platform::FileChooser request;
  };
  struct Posted {
    platform::View* window;
    int id;
  };
  using ModalDriver = std::function<void(int dialogId, FakeView&, platform::DialogProcedure&)>;

  int runModal(int dialogId, platform::View* owner, platform::DialogProcedure& procedure) override {
    modalDialogs.push_back(dialogId);
    FakeView view;
    procedure.init(view);
    if (modalDriver) modalDriver(dialogId, view, procedure);
    lastModal = view;
    return view.closedWith.value_or(-1);
  }
  platform::View* createModeless(int dialogId, platform::View* owner,
                                 std::unique_ptr<platform::DialogProcedure> procedure) override {
    auto& entry = modeless.emplace_back();
    entry.dialogId = dialogId;
    entry.view = std::make_unique<FakeView>();
    entry.procedure = std::move(procedure);
    entry.procedure->init(*entry.view);
    return entry.view.get();
  }
  std::optional<std::string> openFile(platform::View*, const platform::FileChooser& r) override {
    return answerChooser(false, r);
  }
  std::optional<std::string> saveFile(platform::View*, const platform::FileChooser& r) override {
    return answerChooser(true, r);
  }
  int popupMenu(platform::View* owner, int anchorId,
                const std::vector<platform::MenuItem>& items) override {
    popups.push_back(items);
    popupAnchors.push_back(anchorId);
    if (menuChoices.empty()) return 0;
    const int choice = menuChoices.front();
    menuChoices.pop_front();
    return choice;
  }
  void postCommand(platform::View* window, int id) override { posted.push_back({window, id}); }

  struct Modeless {
    int dialogId = 0;
    std::unique_ptr<FakeView> view;
    std::unique_ptr<platform::DialogProcedure> procedure;
  };

  std::deque<std::optional<std::string>> chooserAnswers;  // nullopt: the user cancels
  std::vector<ChooserRequest> chooserRequests;
  std::deque<int> menuChoices;
  std::vector<std::vector<platform::MenuItem>> popups;
  std::vector<int> popupAnchors;
  std::vector<Posted> posted;
  std::vector<int> modalDialogs;
  std::optional<FakeView> lastModal;
  ModalDriver modalDriver;
  std::vector<Modeless> modeless;

 private:
  std::optional<std::string> answerChooser(bool save, const platform::FileChooser& request) {
    chooserRequests.push_back({save, request});
    if (chooserAnswers.empty()) return std::nullopt;
    auto answer = chooserAnswers.front();
    chooserAnswers.pop_front();
    return answer;
  }
};

}  // namespace kvt::test
