#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "platform/view.h"

namespace kvt::app {

// The text behind the log pane: at most 100000 bytes with the terminator, lines ending in
// CR LF. The script runner and the UI thread may report at the same time; each call is atomic
// and reaches the pane in the order the buffer changed.
//
// A pane that already shows the buffer gets only the new text (appendText). The whole buffer
// is sent (setText) when the buffer was emptied, when another pane showed it last (the card
// reader dialog shares this log), or when the user typed into the pane: typed text is replaced
// at the next append.
class Log {
 public:
  static constexpr std::size_t kCapacity = 100000;  // bytes, terminator included
  static constexpr std::size_t kLimit = 99997;      // a text reaching this empties the log first

  // Appends `text` (and CR LF when `lineEnd`) and shows it in control `paneId` of `pane`
  // (null: no pane), with the caret one before the end. When the log and the text would
  // reach kLimit, the log is emptied first; of a text that alone reaches it, only its last
  // kLimit - 1 characters are kept.
  void append(std::string_view text, bool lineEnd, platform::View* pane, int paneId);
  // Empties the log and the pane.
  void clear(platform::View* pane, int paneId);
  // The pane's text becomes the log (cut to kCapacity - 1 bytes); the pane then shows it.
  void replace(std::string_view paneText, platform::View* pane, int paneId);

  std::string text() const;
  std::size_t size() const;

  // Receives every text the log gains (line ends included), in order, as it is added: a log
  // file that grows with the log. Called under the log's lock, from whichever thread reports.
  void setMirror(std::function<void(std::string_view)> mirror);

 private:
  std::function<void(std::string_view)> mirror_;
  mutable std::mutex mutex_;
  std::string text_;
  // The pane known to show exactly text_, if any.
  platform::View* shownIn_ = nullptr;
  int shownId_ = 0;
};

// The reporting operations of the program. They write to the log of context.app and show it
// in the log pane (1014) of context.owner. Nothing happens while the program has no log.
void AppendLog(const DialogContext& context, std::string_view text, bool lineEnd = true);
void ClearLog(const DialogContext& context);
// Asks for a file ("Log Text File", *.txt), takes the pane's text (edits included) as the log
// and appends the log to the file in binary. Cancel or an unopenable file changes nothing.
void SaveLog(const DialogContext& context);

}  // namespace kvt::app
