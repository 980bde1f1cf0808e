#include "gui/dialog_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>

#include "gui/mnemonic_keys.h"

namespace kvt::gui {

namespace {

std::optional<platform::Key> procedureKey(int key) {
  switch (key) {
    case Qt::Key_Up:
      return platform::Key::Up;
    case Qt::Key_Down:
      return platform::Key::Down;
    case Qt::Key_Escape:
      return platform::Key::Escape;
    default:
      return std::nullopt;
  }
}

}  // namespace

DialogWindow::DialogWindow(int dialogId, QWidget* parent, platform::DialogProcedure* procedure,
                           std::unique_ptr<platform::DialogProcedure> owned)
    : QDialog(parent),
      dialogId_(dialogId),
      owned_(std::move(owned)),
      procedure_(owned_ ? owned_.get() : procedure),
      view_(std::make_unique<WidgetView>(this)) {
  view_->setCloseHandler([this](int result) { closedByProcedure(result); });
  new MnemonicKeys(this);
}

DialogWindow::~DialogWindow() = default;

void DialogWindow::wire() {
  for (const auto& [id, widget] : view_->widgets()) {
    if (widget != nullptr) wireWidget(id, widget);
  }
  for (const auto& [id, action] : view_->actions()) {
    if (action == nullptr) continue;
    const int actionId = id;
    connect(action, &QAction::triggered, this,
            [this, actionId] { deliver(actionId, platform::notify::Clicked); });
  }
}

void DialogWindow::wireWidget(int id, QWidget* widget) {
  auto notifyUnlessSet = [this, id](int notification) {
    if (!view_->settingProgrammatically()) deliver(id, notification);
  };
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this,
            [this, id] { deliver(id, platform::notify::Clicked); });
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    // An edit reports every change of its text, also one the program made, as edits do.
    connect(line, &QLineEdit::textChanged, this,
            [this, id] { deliver(id, platform::notify::Changed); });
    line->installEventFilter(this);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    edit->installEventFilter(this);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::activated, this,
            [this, id] { deliver(id, platform::notify::SelectionChanged); });
  } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
    connect(list, &QListWidget::currentRowChanged, this,
            [notifyUnlessSet] { notifyUnlessSet(platform::notify::SelectionChanged); });
  }
}

void DialogWindow::deliver(int id, int notification) {
  if (isClosed()) return;
  QPointer<DialogWindow> alive(this);
  procedure_->command(*view_, id, notification);
  (void)alive;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || isClosed()) return QDialog::eventFilter(watched, event);
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  const auto key = procedureKey(keyEvent->key());
  const int id = view_->idOf(watched);
  if (!key || id == 0 || keyEvent->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) {
    return QDialog::eventFilter(watched, event);
  }
  if (procedure_->key(*view_, id, *key)) return true;
  if (*key == platform::Key::Escape) {
    deliver(kCancelId, platform::notify::Clicked);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    const int focusId = view_->idOf(focusWidget());
    if (focusId == 0 || !procedure_->key(*view_, focusId, platform::Key::Escape)) {
      deliver(kCancelId, platform::notify::Clicked);
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  if (!isClosed()) procedure_->closeRequest(*view_);
  if (isClosed()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (onResize_ && isVisible()) onResize_(*this);
}

int DialogWindow::runModal() {
  if (isClosed()) return *result_;  // closed while it was being set up
  show();
  raise();
  activateWindow();
  QEventLoop loop;
  loop_ = &loop;
  if (!isClosed()) loop.exec();
  loop_ = nullptr;
  return result_.value_or(0);
}

void DialogWindow::showModeless() {
  modeless_ = true;
  if (isClosed()) {
    deleteLater();
    return;
  }
  show();
}

void DialogWindow::closedByProcedure(int result) {
  if (isClosed()) return;
  result_ = result;
  hide();
  if (loop_ != nullptr) loop_->quit();
  if (modeless_) deleteLater();
}

}  // namespace kvt::gui
