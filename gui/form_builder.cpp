#include "gui/form_builder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/control_ids.h"
#include "cardreader/control_ids.h"
#include "cmd/progress_dialog.h"
#include "gui/dialog_window.h"
#include "testlog/control_ids.h"

namespace kvt::gui {

template <typename W>
W* FormBuilder::bound(int id, W* widget) {
  if (id != 0) window_.view().bind(id, widget);
  return widget;
}

QPushButton* FormBuilder::button(int id, const char* text) {
  auto* button = new QPushButton(QString::fromUtf8(text), &window_);
  return bound(id, button);
}

QLabel* FormBuilder::label(int id, const char* text, QWidget* buddy) {
  auto* label = new QLabel(QString::fromUtf8(text), &window_);
  if (buddy != nullptr) label->setBuddy(buddy);
  return bound(id, label);
}

QLineEdit* FormBuilder::edit(int id, EditStyle style) {
  auto* edit = new QLineEdit(&window_);
  edit->setReadOnly(style.readOnly);
  if (style.alignRight) edit->setAlignment(Qt::AlignRight);
  if (style.maxLength > 0) edit->setMaxLength(style.maxLength);
  if (style.upperCase) {
    // Letters become capitals as they are typed or pasted; the caret stays where it was.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
      const QString upper = text.toUpper();
      if (upper == text) return;
      const int caret = edit->cursorPosition();
      edit->setText(upper);
      edit->setCursorPosition(caret);
    });
  }
  return bound(id, edit);
}

QPlainTextEdit* FormBuilder::pane(int id) {
  auto* pane = new QPlainTextEdit(&window_);
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setUndoRedoEnabled(false);  // a long log would otherwise keep every append twice
  return bound(id, pane);
}

QCheckBox* FormBuilder::check(int id, const char* text) {
  return bound(id, new QCheckBox(QString::fromUtf8(text), &window_));
}

QComboBox* FormBuilder::combo(int id) { return bound(id, new QComboBox(&window_)); }

QListWidget* FormBuilder::list(int id) { return bound(id, new QListWidget(&window_)); }

QGroupBox* FormBuilder::group(int id, const char* text) {
  return bound(id, new QGroupBox(QString::fromUtf8(text), &window_));
}

QAction* FormBuilder::item(QMenu* menu, int id, const char* text) {
  QAction* action = menu->addAction(QString::fromUtf8(text));
  if (id != 0) window_.view().bind(id, action);
  return action;
}

bool BuildForm(DialogWindow& window) {
  switch (window.dialogId()) {
    case app::id::MainWindowDialog:
      BuildMainWindow(window);
      break;
    case app::id::AboutDialog:
      BuildAboutDialog(window);
      break;
    case app::id::PortSettingsDialog:
      BuildPortSettingsDialog(window);
      break;
    case app::id::RegisterDialog:
      BuildRegisterDialog(window);
      break;
    case cmd::id::ProgressDialog:
      BuildProgressDialog(window);
      break;
    case cardreader::id::CardReaderDialog:
      BuildCardReaderDialog(window);
      break;
    case testlog::id::TestLogDialog:
      BuildTestLogDialog(window);
      break;
    default:
      return false;
  }
  window.wire();
  return true;
}

}  // namespace kvt::gui
