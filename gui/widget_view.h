#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/view.h"

class QAction;
class QWidget;

namespace kvt::gui {

// A View over a tree of Qt widgets: each control or menu item id names one widget or action.
//
// Calls from the UI thread act at once. Calls from any other thread (the script runner's log
// appends, a speed command's status text) never wait for the UI thread: they are queued, in
// call order, and applied by one posted flush. Consecutive appends to the same edit are
// joined while they wait, so a fast runner costs the UI one insertion per flush, and each
// insertion costs what it adds, never what the pane already holds. A UI-thread call first
// applies what is queued, so the pane sees every change in the order it was made.
class WidgetView final : public QObject, public platform::View {
  Q_OBJECT
 public:
  explicit WidgetView(QWidget* window);
  ~WidgetView() override;

  // Registers the widget or menu action that control `id` stands for.
  void bind(int id, QWidget* widget);
  void bind(int id, QAction* action);
  QWidget* widget(int id) const;
  QAction* action(int id) const;
  QWidget* window() const { return window_; }
  const std::map<int, QPointer<QWidget>>& widgets() const { return widgets_; }
  const std::map<int, QPointer<QAction>>& actions() const { return actions_; }
  // The id of `widget`, or 0.
  int idOf(const QObject* widget) const;
  // Called when the procedure closes the view (View::close).
  void setCloseHandler(std::function<void(int result)> handler) { onClose_ = std::move(handler); }

  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  void appendText(int id, std::string_view text) override;
  void setCaret(int id, std::size_t position) override;
  bool modified(int id) const override;
  void enable(int id, bool on) override;
  void setVisible(int id, bool on) override;
  void setFocus(int id) override;
  bool setMonospaceFont(int id) override;
  bool checked(int id) const override;
  void setChecked(int id, bool on) override;
  void addItem(int id, std::string_view text) override;
  void clearItems(int id) override;
  void selectItem(int id, int index) override;
  int selectedItem(int id) const override;
  void close(int result) override;

  // Applies what other threads queued. Runs on the UI thread (also from the posted flush).
  void flushQueued();
  // True while the view itself changes a control (its notifications are then not the user's).
  bool settingProgrammatically() const { return settingDepth_ > 0; }

 private:
  struct Pending {
    enum class Kind { SetText, Append, Caret, Other } kind;
    int id = 0;
    std::string text;
    std::size_t position = 0;
    std::function<void()> call;  // Kind::Other
  };
  bool onUiThread() const;
  // Queues `pending` (merging appends) and posts a flush if none is on its way.
  void enqueue(Pending pending);
  void applySetText(int id, std::string_view text);
  void applyAppend(int id, std::string_view text);
  void applyCaret(int id, std::size_t position);
  std::atomic<bool>& userEdited(int id) const;
  void watchEdits(int id, QWidget* widget);

  QWidget* window_;
  std::map<int, QPointer<QWidget>> widgets_;
  std::map<int, QPointer<QAction>> actions_;
  // Length of each plain-text edit's text as the program counts it (line ends as CR LF).
  std::map<int, std::size_t> logicalLength_;
  mutable std::mutex editedMutex_;
  mutable std::map<int, std::unique_ptr<std::atomic<bool>>> edited_;
  std::mutex queueMutex_;
  std::vector<Pending> queue_;
  bool flushPosted_ = false;
  int settingDepth_ = 0;
  std::function<void(int)> onClose_;
};

}  // namespace kvt::gui
