#pragma once

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "app/control_ids.h"
#include "cli/wiring/wired_program.h"
#include "gui/dialog_window.h"
#include "gui/kvt_options.h"
#include "gui/qt_shell.h"

namespace kvt::test {

// kvt against the in-process simulated chip, with its start-up file in a folder of its own.
// `run` shows the main window and runs `body` inside its event loop; `onDialog` runs a body
// inside the next dialog of an id once it is up. Bodies use QTest events on real widgets; a
// dialog a body leaves open is closed through its close box.
class GuiSession {
 public:
  using Body = std::function<void(gui::DialogWindow&)>;

  explicit GuiSession(cmd::CommandEnvironment environment = {})
      : program_(startFile(), simOptions(), std::move(environment)), shell_(program_.state()) {
    shell_.setDialogHook([this](gui::DialogWindow& window) {
      auto it = bodies_.find(window.dialogId());
      if (it == bodies_.end()) return;
      Body body = std::move(it->second);
      bodies_.erase(it);
      QTimer::singleShot(0, &window, [body, &window] {
        body(window);
        // A body that stopped at a failed check leaves its dialog: the close box ends it.
        if (!window.isClosed()) window.close();
      });
    });
  }

  // Runs the main window; `body` gets it once it is up. Returns the main window's result.
  int run(Body body) {
    onDialog(app::id::MainWindowDialog, body);
    return program_.application().run(shell_);
  }
  void onDialog(int dialogId, Body body) { bodies_[dialogId] = std::move(body); }

  wiring::WiredProgram& program() { return program_; }
  gui::QtShell& shell() { return shell_; }
  std::string folder() const { return dir_.path().toStdString(); }
  std::string startFile() const { return folder() + "/kvt_start.cfg"; }

  template <typename W = QWidget>
  static W* control(gui::DialogWindow& window, int id) {
    return qobject_cast<W*>(window.view().widget(id));
  }
  static QString pane(gui::DialogWindow& window, int id = app::id::LogPane) {
    return control<QPlainTextEdit>(window, id)->toPlainText();
  }

 private:
  static gui::KvtOptions simOptions() {
    gui::KvtOptions options;
    options.port = "sim";
    return options;
  }

  QTemporaryDir dir_;
  wiring::WiredProgram program_;
  gui::QtShell shell_;
  std::map<int, Body> bodies_;
};

}  // namespace kvt::test
