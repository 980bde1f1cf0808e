#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/shell.h"

class QWidget;

namespace kvt::app {
struct AppState;
}

namespace kvt::gui {

class DialogWindow;

// The Shell of the desktop program: dialogs as DialogWindows built from their forms, Qt file
// dialogs and pop-up menus, and commands posted through the UI thread's event queue.
class QtShell final : public QObject, public platform::Shell {
  Q_OBJECT
 public:
  // Answers a file chooser in place of the user (tests, screenshots); nullopt cancels.
  using FileAnswer =
      std::function<std::optional<std::string>(bool save, const platform::FileChooser&)>;
  // Called with every dialog once its procedure has initialised it, before it shows.
  using DialogHook = std::function<void(DialogWindow&)>;

  // `app` gets the main window's initial size, which the resizing rule keeps.
  explicit QtShell(app::AppState& app) : app_(app) {}
  ~QtShell() override;

  int runModal(int dialogId, platform::View* owner, platform::DialogProcedure& procedure) override;
  platform::View* createModeless(int dialogId, platform::View* owner,
                                 std::unique_ptr<platform::DialogProcedure> procedure) override;
  std::optional<std::string> openFile(platform::View* owner,
                                      const platform::FileChooser& request) override;
  std::optional<std::string> saveFile(platform::View* owner,
                                      const platform::FileChooser& request) override;
  int popupMenu(platform::View* owner, int anchorId,
                const std::vector<platform::MenuItem>& items) override;
  void postCommand(platform::View* window, int id) override;

  void setFileAnswer(FileAnswer answer) { fileAnswer_ = std::move(answer); }
  void setDialogHook(DialogHook hook) { dialogHook_ = std::move(hook); }
  // The dialog on screen whose view is `view`, or null once it has gone.
  DialogWindow* windowOf(const platform::View* view) const;

 private:
  DialogWindow* make(int dialogId, QWidget* parent, platform::DialogProcedure* procedure,
                     std::unique_ptr<platform::DialogProcedure> owned);
  void forget(DialogWindow* window);
  void keepMainWindowSize(DialogWindow& window);
  std::optional<std::string> chooseFile(bool save, platform::View* owner,
                                        const platform::FileChooser& request);

  app::AppState& app_;
  mutable std::mutex windowsMutex_;
  std::map<const platform::View*, DialogWindow*> windows_;
  FileAnswer fileAnswer_;
  DialogHook dialogHook_;
};

}  // namespace kvt::gui
