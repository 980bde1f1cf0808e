#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "gui/widget_view.h"
#include "platform/shell.h"

class QEventLoop;

namespace kvt::gui {

// One dialog on screen: its widgets (bound to ids in its WidgetView) and the procedure that
// handles its events. Buttons, check boxes and menu items report Clicked, edits Changed, lists
// SelectionChanged; Up, Down and Escape in an edit go to the procedure's key handler first.
// Escape never closes a dialog by itself: it is the dialog's cancel command (id 2), which a
// procedure may or may not act on. The close box asks the procedure (closeRequest); the window
// goes only when the procedure closes its view.
class DialogWindow final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kCancelId = 2;  // what Escape sends, as a dialog manager does

  DialogWindow(int dialogId, QWidget* parent, platform::DialogProcedure* procedure,
               std::unique_ptr<platform::DialogProcedure> owned = nullptr);
  ~DialogWindow() override;

  int dialogId() const { return dialogId_; }
  WidgetView& view() { return *view_; }
  platform::DialogProcedure& procedure() { return *procedure_; }

  // Connects the bound widgets to the procedure; called once the form is built.
  void wire();
  // Shows the dialog and returns when the procedure has closed it; its result.
  int runModal();
  // Shows the dialog modeless; it deletes itself when the procedure closes it.
  void showModeless();
  bool isClosed() const { return result_.has_value(); }
  // Called after every resize while the window is on screen (the main window's rule).
  void setResizeHandler(std::function<void(DialogWindow&)> handler) {
    onResize_ = std::move(handler);
  }
  // A command from the shell (posted) or from a widget.
  void deliver(int id, int notification);

  // No closing on Escape or through QDialog's own ways: the procedure decides.
  void reject() override {}
  void accept() override {}
  void done(int) override {}

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void closedByProcedure(int result);
  void wireWidget(int id, QWidget* widget);

  int dialogId_;
  std::unique_ptr<platform::DialogProcedure> owned_;
  platform::DialogProcedure* procedure_;
  std::unique_ptr<WidgetView> view_;
  std::optional<int> result_;
  QEventLoop* loop_ = nullptr;
  bool modeless_ = false;
  std::function<void(DialogWindow&)> onResize_;
};

}  // namespace kvt::gui
