#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One window or dialog as the toolkit-neutral application sees it. Controls and menu items are
// addressed by their numeric ids (1010, 1014, 40005 ...); the toolkit skin (Qt, a console, a
// test fake) maps them to its widgets.
//
// Threads: the script runner calls the log pane's operations (appendText, setText, setCaret,
// modified, text) from its own thread, sometimes while it holds the chip lock. An
// implementation must forward mutating calls to its UI thread without waiting for the UI
// thread (queued, in call order), and must answer `modified` without waiting for it either;
// otherwise a UI action waiting for the chip lock could deadlock with the runner.
namespace kvt::platform {

// What a control reports to its dialog procedure along with its id.
namespace notify {
constexpr int Clicked = 0;           // buttons, check boxes, menu items, pop-up menu items
constexpr int Changed = 1;           // an edit's text changed (typed or set)
constexpr int SelectionChanged = 2;  // a list or combo box selection changed
}  // namespace notify

class View {
 public:
  virtual ~View() = default;

  // Text of a control (edit, label, button).
  virtual std::string text(int id) const = 0;
  virtual void setText(int id, std::string_view text) = 0;
  // Adds text at the end of an edit without re-sending what it already holds (the log pane).
  virtual void appendText(int id, std::string_view text) = 0;
  // Places the caret (an empty selection) at `position` and scrolls it into view.
  virtual void setCaret(int id, std::size_t position) = 0;
  // True when the user has changed the edit's text since the program last set it with
  // setText (appendText leaves the flag as it is).
  virtual bool modified(int id) const = 0;

  // Controls and menu items alike: enabled/greyed, shown/hidden, keyboard focus.
  virtual void enable(int id, bool on) = 0;
  virtual void setVisible(int id, bool on) = 0;
  virtual void setFocus(int id) = 0;
  // Gives a control the fixed-pitch font; false when the toolkit has no such font.
  virtual bool setMonospaceFont(int id) = 0;

  // Check boxes.
  virtual bool checked(int id) const = 0;
  virtual void setChecked(int id, bool on) = 0;

  // List boxes and combo boxes. Index -1 means no selection.
  virtual void addItem(int id, std::string_view text) = 0;
  virtual void clearItems(int id) = 0;
  virtual void selectItem(int id, int index) = 0;
  virtual int selectedItem(int id) const = 0;

  // Ends a modal dialog with `result` (the result of Shell::runModal) or destroys a modeless
  // one. The view must not be used afterwards.
  virtual void close(int result) = 0;
};

}  // namespace kvt::platform
