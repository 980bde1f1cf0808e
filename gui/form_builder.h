#pragma once

#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kvt::gui {

class DialogWindow;

struct EditStyle {
  bool upperCase = false;  // typed letters become capitals
  bool readOnly = false;
  bool alignRight = false;
  int maxLength = 0;  // 0: no limit
};

// Makes the widgets of a dialog, each bound to its control id in the dialog's view (id 0:
// a widget the program never addresses). Texts keep their '&' mnemonics.
class FormBuilder {
 public:
  explicit FormBuilder(DialogWindow& window) : window_(window) {}

  QPushButton* button(int id, const char* text);
  QLabel* label(int id, const char* text, QWidget* buddy = nullptr);
  QLineEdit* edit(int id, EditStyle style = {});
  QPlainTextEdit* pane(int id);
  QCheckBox* check(int id, const char* text);
  QComboBox* combo(int id);
  QListWidget* list(int id);
  QGroupBox* group(int id, const char* text);
  QAction* item(QMenu* menu, int id, const char* text);

 private:
  template <typename W>
  W* bound(int id, W* widget);

  DialogWindow& window_;
};

// Builds the form of `window.dialogId()` (101, 104, 105, 106, 108, 114, 115) into it. False
// for an id without a form.
bool BuildForm(DialogWindow& window);

// The forms, one per dialog.
void BuildMainWindow(DialogWindow& window);
void BuildAboutDialog(DialogWindow& window);
void BuildPortSettingsDialog(DialogWindow& window);
void BuildRegisterDialog(DialogWindow& window);
void BuildProgressDialog(DialogWindow& window);
void BuildCardReaderDialog(DialogWindow& window);
void BuildTestLogDialog(DialogWindow& window);

}  // namespace kvt::gui
