#include "gui/qt_shell.h"

#include <QAction>
#include <QFileDialog>
#include <QLayout>
#include <QMenu>
#include <memory>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "gui/dialog_window.h"
#include "gui/form_builder.h"

namespace kvt::gui {

namespace {

QString filterOf(const platform::FileChooser& request) {
  return QString::fromStdString(request.filterName + " (" + request.pattern + ")");
}

}  // namespace

QtShell::~QtShell() = default;

DialogWindow* QtShell::windowOf(const platform::View* view) const {
  std::lock_guard lock(windowsMutex_);
  auto it = windows_.find(view);
  return it == windows_.end() ? nullptr : it->second;
}

DialogWindow* QtShell::make(int dialogId, QWidget* parent, platform::DialogProcedure* procedure,
                            std::unique_ptr<platform::DialogProcedure> owned) {
  auto* window = new DialogWindow(dialogId, parent, procedure, std::move(owned));
  BuildForm(*window);
  const platform::View* view = &window->view();
  {
    std::lock_guard lock(windowsMutex_);
    windows_[view] = window;
  }
  connect(window, &QObject::destroyed, this, [this, view] {
    std::lock_guard lock(windowsMutex_);
    windows_.erase(view);
  });
  return window;
}

int QtShell::runModal(int dialogId, platform::View* owner, platform::DialogProcedure& procedure) {
  std::unique_ptr<DialogWindow> window(make(dialogId, windowOf(owner), &procedure, nullptr));
  // Modal to its owner only: the modeless register dialog stays usable during a run.
  if (window->parentWidget() != nullptr) window->setWindowModality(Qt::WindowModal);
  procedure.init(window->view());
  if (dialogId == app::id::MainWindowDialog) keepMainWindowSize(*window);
  if (dialogHook_) dialogHook_(*window);
  return window->runModal();
}

platform::View* QtShell::createModeless(int dialogId, platform::View* owner,
                                        std::unique_ptr<platform::DialogProcedure> procedure) {
  platform::DialogProcedure* raw = procedure.get();
  // A window of its own, not a child of the owner: a dialog modal to the owner (the
  // "Processing..." of a run) would block the owner's children too. It goes with the owner.
  DialogWindow* window = make(dialogId, nullptr, raw, std::move(procedure));
  if (DialogWindow* ownerWindow = windowOf(owner)) {
    connect(ownerWindow, &QObject::destroyed, window, [window] { delete window; });
  }
  raw->init(window->view());
  if (dialogHook_) dialogHook_(*window);
  platform::View* view = &window->view();
  window->showModeless();
  return view;
}

void QtShell::keepMainWindowSize(DialogWindow& window) {
  window.layout()->activate();
  window.resize(window.size().expandedTo(window.minimumSizeHint()));
  app_.initialWidth = window.width();
  app_.initialHeight = window.height();
  // The window manager is asked not to change the width nor to go below the height; where it
  // does all the same, the rule puts the window back.
  window.setMinimumSize(window.size());
  window.setMaximumWidth(window.width());
  window.setResizeHandler([this](DialogWindow& resized) {
    switch (app::DecideResize(app_, resized.width(), resized.height())) {
      case app::ResizeAction::RestoreHeight:
        resized.resize(resized.width(), app_.initialHeight);
        break;
      case app::ResizeAction::RestoreWidth:
        resized.resize(app_.initialWidth, resized.height());
        break;
      case app::ResizeAction::StretchLogPane:
        break;  // the layout gives the extra height to the log pane
    }
  });
}

std::optional<std::string> QtShell::chooseFile(bool save, platform::View* owner,
                                               const platform::FileChooser& request) {
  if (fileAnswer_) return fileAnswer_(save, request);
  QWidget* parent = windowOf(owner);
  // Files are appended to or read, never replaced, so no overwrite question.
  const QString chosen =
      save ? QFileDialog::getSaveFileName(parent, QString(), QString(), filterOf(request), nullptr,
                                          QFileDialog::DontConfirmOverwrite)
           : QFileDialog::getOpenFileName(parent, QString(), QString(), filterOf(request));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> QtShell::openFile(platform::View* owner,
                                             const platform::FileChooser& request) {
  return chooseFile(false, owner, request);
}

std::optional<std::string> QtShell::saveFile(platform::View* owner,
                                             const platform::FileChooser& request) {
  return chooseFile(true, owner, request);
}

int QtShell::popupMenu(platform::View* owner, int anchorId,
                       const std::vector<platform::MenuItem>& items) {
  DialogWindow* window = windowOf(owner);
  QMenu menu(window);
  for (const platform::MenuItem& item : items) {
    menu.addAction(QString::fromStdString(item.text))->setData(item.id);
  }
  QPoint where = window != nullptr ? window->mapToGlobal(QPoint(0, 0)) : QPoint();
  if (QWidget* anchor = window != nullptr ? window->view().widget(anchorId) : nullptr) {
    where = anchor->mapToGlobal(anchor->rect().bottomLeft());
  }
  QAction* chosen = menu.exec(where);
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

void QtShell::postCommand(platform::View* view, int id) {
  QMetaObject::invokeMethod(
      this,
      [this, view, id] {
        if (DialogWindow* window = windowOf(view)) window->deliver(id, platform::notify::Clicked);
      },
      Qt::QueuedConnection);
}

}  // namespace kvt::gui
