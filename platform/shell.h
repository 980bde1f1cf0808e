#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/view.h"

// The services a toolkit offers the application besides single windows: running dialogs,
// file choosers, pop-up menus and posting commands.
namespace kvt::platform {

// Keys that dialog procedures handle themselves.
enum class Key { Up, Down, Escape };

// The behaviour of one dialog. The toolkit calls it for the dialog's events; the procedure
// reaches the dialog's controls through the View it is handed.
class DialogProcedure {
 public:
  virtual ~DialogProcedure() = default;
  // The dialog's controls exist; fill them.
  virtual void init(View& window) = 0;
  // A control or menu item `id` reports `notification` (see notify::).
  virtual void command(View& window, int id, int notification) = 0;
  // The close box or the window's quit request. Usually ends with window.close(result).
  virtual void closeRequest(View& window) = 0;
  // A key typed into control `id`. True when consumed: the control never sees it and the
  // toolkit must not turn it into anything else (an Escape is then never a close request).
  virtual bool key(View& window, int id, Key key) { return false; }
};

// A file chooser's request: one filter, the text the name field starts with.
struct FileChooser {
  std::string filterName;   // "Log Text File"
  std::string pattern;      // "*.txt"
  std::string initialName;  // "*.txt"
  bool mustExist = false;   // the chosen file must exist (open choosers)
};

struct MenuItem {
  int id;
  std::string text;  // with its '&' mnemonic
};

class Shell {
 public:
  virtual ~Shell() = default;

  // Runs dialog `dialogId` modally, owned by `owner`, until the procedure closes it; returns
  // the result it was closed with.
  virtual int runModal(int dialogId, View* owner, DialogProcedure& procedure) = 0;
  // Creates and shows dialog `dialogId` modeless; the shell owns procedure and view until the
  // procedure closes the view.
  virtual View* createModeless(int dialogId, View* owner,
                               std::unique_ptr<DialogProcedure> procedure) = 0;

  // The chosen path, or nullopt when the user cancelled.
  virtual std::optional<std::string> openFile(View* owner, const FileChooser& request) = 0;
  virtual std::optional<std::string> saveFile(View* owner, const FileChooser& request) = 0;

  // Shows `items` (top first) below control `anchorId` of `owner`; the chosen id, or 0.
  virtual int popupMenu(View* owner, int anchorId, const std::vector<MenuItem>& items) = 0;

  // Delivers command `id` to the procedure of `window` later, on the UI thread. Safe to call
  // from any thread.
  virtual void postCommand(View* window, int id) = 0;
};

}  // namespace kvt::platform
