#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/view.h"

namespace kvt::cli {

// A window without a screen, for a console front end: controls keep their state in memory,
// and whatever the log pane gains is written to `out` as it arrives, with LF line ends instead
// of CR LF. A pane whose text is replaced by a text that does not continue what was printed (a
// cleared or restarted log) prints the new text from its start.
//
// Windows that show the same log on the same stream (the main window and the card reader
// dialog) share what has been printed, so a line is printed once whichever pane shows it.
class HeadlessDialogView final : public platform::View {
 public:
  HeadlessDialogView(std::ostream& out, int logPaneId)
      : out_(out),
        logPaneId_(logPaneId),
        printed_(std::make_shared<std::string>()),
        flushEachLine_(std::make_shared<bool>(false)) {}
  // Prints to the same stream as `other` and continues what it printed.
  HeadlessDialogView(const HeadlessDialogView& other, int logPaneId)
      : out_(other.out_),
        logPaneId_(logPaneId),
        printed_(other.printed_),
        flushEachLine_(other.flushEachLine_) {}

  // Standard output on a terminal shows each line as it comes; a pipe or a file gets whole
  // blocks, flushed before the program waits and at its end.
  void setFlushEachLine(bool on) { *flushEachLine_ = on; }

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

 private:
  struct List {
    std::vector<std::string> items;
    int selected = -1;
  };
  void print(std::string_view text);

  std::ostream& out_;
  int logPaneId_;
  std::shared_ptr<std::string> printed_;  // the log text as printed so far, CR LF kept
  std::shared_ptr<bool> flushEachLine_;   // shared with the views printing to the same stream
  std::map<int, std::string> texts_;
  std::map<int, bool> checks_;
  std::map<int, List> lists_;
};

}  // namespace kvt::cli
