#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/view.h"

namespace kvt::cardreader {

// The card reader dialog without a screen, for a console front end: controls keep their state
// in memory, and whatever the log pane gains is written to `out` as it arrives, with LF line
// ends instead of CR LF. A pane whose text is replaced by a text that does not continue what
// was printed (a cleared or restarted log) prints the new text from its start.
class HeadlessDialogView final : public platform::View {
 public:
  HeadlessDialogView(std::ostream& out, int logPaneId) : out_(out), logPaneId_(logPaneId) {}

  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  void appendText(int id, std::string_view text) override;
  void setCaret(int, std::size_t) override {}
  bool modified(int) const override { return false; }
  void enable(int, bool) override {}
  void setVisible(int, bool) override {}
  void setFocus(int) override {}
  bool setMonospaceFont(int) override { return true; }
  bool checked(int id) const override;
  void setChecked(int id, bool on) override { checks_[id] = on; }
  void addItem(int id, std::string_view text) override;
  void clearItems(int id) override { lists_.erase(id); }
  void selectItem(int id, int index) override { lists_[id].selected = index; }
  int selectedItem(int id) const override;
  void close(int) override {}

  // Entries of a list (for a front end that wants to name them).
  std::size_t itemCount(int id) const;

 private:
  struct List {
    std::vector<std::string> items;
    int selected = -1;
  };
  void print(std::string_view text);

  std::ostream& out_;
  int logPaneId_;
  std::map<int, std::string> texts_;
  std::map<int, bool> checks_;
  std::map<int, List> lists_;
};

}  // namespace kvt::cardreader
