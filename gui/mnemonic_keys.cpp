#include "gui/mnemonic_keys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace kvt::gui {

namespace {

bool usable(const QWidget* widget) {
  return widget->isVisibleTo(widget->window()) && widget->isEnabled();
}

QWidget* firstFocusableChild(QGroupBox* group) {
  for (QWidget* child : group->findChildren<QWidget*>()) {
    if (child->focusPolicy() != Qt::NoFocus && usable(child)) return child;
  }
  return nullptr;
}

QChar letterOf(const QKeyEvent* event) {
  if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) return {};
  const int key = event->key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
    return QChar(key);
  }
  return {};
}

}  // namespace

QChar MnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return text[i + 1].toUpper();
  }
  return {};
}

MnemonicKeys::MnemonicKeys(QWidget* dialog) : QObject(dialog), dialog_(dialog) {
  qApp->installEventFilter(this);
}

bool MnemonicKeys::belongsHere(QObject* object) const {
  // Up to the first window: a dialog owned by this one handles its own keys.
  for (QObject* o = object; o != nullptr; o = o->parent()) {
    if (o == dialog_) return true;
    auto* widget = qobject_cast<QWidget*>(o);
    if (widget != nullptr && widget->isWindow() && qobject_cast<QMenu*>(widget) == nullptr) {
      return false;
    }
  }
  return false;
}

QList<QObject*> MnemonicKeys::targets(QChar letter) const {
  QList<QObject*> found;
  if (auto* bar = dialog_->findChild<QMenuBar*>()) {
    for (QAction* action : bar->actions()) {
      if (action->isVisible() && action->isEnabled() && MnemonicOf(action->text()) == letter) {
        found.append(action);
      }
    }
  }
  for (QWidget* widget : dialog_->findChildren<QWidget*>()) {
    if (widget->window() != dialog_ || !usable(widget)) continue;
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      text = button->text();
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      if (label->buddy() == nullptr || !usable(label->buddy())) continue;
      text = label->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      if (firstFocusableChild(group) == nullptr) continue;
      text = group->title();
    }
    if (!text.isEmpty() && MnemonicOf(text) == letter) found.append(widget);
  }
  return found;
}

void MnemonicKeys::activate(QObject* target, bool ambiguous) {
  if (QWidget* popup = QApplication::activePopupWidget(); popup && belongsHere(popup)) {
    popup->close();
    dialog_->activateWindow();  // the keys come back to the dialog
  }
  if (auto* action = qobject_cast<QAction*>(target)) {
    if (auto* bar = dialog_->findChild<QMenuBar*>()) bar->setActiveAction(action);
  } else if (auto* check = qobject_cast<QCheckBox*>(target)) {
    check->setFocus(Qt::ShortcutFocusReason);
    if (!ambiguous) check->click();
  } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
    button->setFocus(Qt::ShortcutFocusReason);
    if (!ambiguous) button->click();
  } else if (auto* label = qobject_cast<QLabel*>(target)) {
    label->buddy()->setFocus(Qt::ShortcutFocusReason);
  } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
    firstFocusableChild(group)->setFocus(Qt::ShortcutFocusReason);
  }
}

bool MnemonicKeys::eventFilter(QObject* watched, QEvent* event) {
  const bool override = event->type() == QEvent::ShortcutOverride;
  if ((!override && event->type() != QEvent::KeyPress) || dialog_ == nullptr ||
      !dialog_->isVisible() || !belongsHere(watched)) {
    return false;
  }
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  const QChar letter = letterOf(keyEvent);
  if (letter.isNull()) {
    if (!override && keyEvent->key() != Qt::Key_Alt) lastLetter_ = QChar();
    return false;
  }
  const QList<QObject*> found = targets(letter);
  if (found.isEmpty()) return false;
  if (override) {
    event->accept();  // ours, not a shortcut's: it comes back as a key press
    return true;
  }
  const int index = letter == lastLetter_ ? (lastIndex_ + 1) % found.size() : 0;
  lastLetter_ = letter;
  lastIndex_ = index;
  activate(found[index], found.size() > 1);
  return true;
}

}  // namespace kvt::gui
