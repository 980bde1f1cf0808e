// Makes the pictures of docs/screenshots: every window of kvt against the simulated chip, with
// what an engineer would see (an open port, a command file's log, a card activated). Run by
// `make screenshots` on the offscreen platform: kvt-screenshots FOLDER.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <iostream>
#include <map>

#include "app/control_ids.h"
#include "cardreader/control_ids.h"
#include "cli/wiring/wired_program.h"
#include "cmd/progress_dialog.h"
#include "gui/dialog_window.h"
#include "gui/qt_shell.h"
#include "testlog/control_ids.h"

namespace {

using kvt::gui::DialogWindow;
namespace id = kvt::app::id;
namespace card = kvt::cardreader::id;

QString folder;
bool failed = false;

void shoot(QWidget& window, const char* name) {
  window.adjustSize();
  const QString path = folder + "/" + name + ".png";
  if (!window.grab().save(path)) {
    std::cerr << "kvt-screenshots: cannot write " << path.toStdString() << "\n";
    failed = true;
  }
}

void click(DialogWindow& window, int control) {
  qobject_cast<QAbstractButton*>(window.view().widget(control))->click();
}

void type(DialogWindow& window, int control, const char* text) {
  qobject_cast<QLineEdit*>(window.view().widget(control))->setText(QString::fromUtf8(text));
}

// Runs `body` in the next dialog `dialogId` once it is on screen (or, with `now`, before it
// shows: the "Processing..." dialog may close as soon as it is up).
class Director {
 public:
  explicit Director(kvt::gui::QtShell& shell) {
    shell.setDialogHook([this](DialogWindow& window) {
      auto it = bodies_.find(window.dialogId());
      if (it == bodies_.end()) return;
      auto [body, now] = std::move(it->second);
      bodies_.erase(it);
      if (now) return body(window);
      QTimer::singleShot(0, &window, [body, &window] { body(window); });
    });
  }
  void on(int dialogId, std::function<void(DialogWindow&)> body, bool now = false) {
    bodies_[dialogId] = {std::move(body), now};
  }

 private:
  std::map<int, std::pair<std::function<void(DialogWindow&)>, bool>> bodies_;
};

void commandLine(DialogWindow& main, const char* line) {
  type(main, id::CommandLine, line);
  click(main, id::Process);
}

void tour(DialogWindow& main, Director& director, kvt::gui::QtShell& shell,
          kvt::app::AppState& state) {
  director.on(id::AboutDialog, [](DialogWindow& about) {
    shoot(about, "about");
    click(about, id::AboutOk);
  });
  main.view().action(id::MenuInfo)->trigger();
  director.on(id::PortSettingsDialog, [](DialogWindow& settings) {
    click(settings, id::Verify);
    shoot(settings, "port-settings");
    click(settings, id::Discard);
  });
  main.view().action(id::MenuSettings)->trigger();

  click(main, id::OpenButton);
  commandLine(main, "SR 01 3F");
  commandLine(main, "GR 37");
  director.on(
      kvt::cmd::id::ProgressDialog, [](DialogWindow& progress) { shoot(progress, "processing"); },
      true);
  click(main, id::ProcessScf);  // returns when the run has ended
  click(main, id::DumpRegister);

  click(main, id::RegisterIo);  // modeless: it is up when the click returns
  DialogWindow* registers = shell.windowOf(state.registerDialog);
  if (registers == nullptr) {
    std::cerr << "kvt-screenshots: the register dialog did not open\n";
    failed = true;
    return;
  }
  type(*registers, id::RegAddress, "19");
  click(*registers, id::RegGet);
  shoot(*registers, "register-dialog");
  shoot(main, "main-window");
  click(*registers, id::RegQuit);

  director.on(card::CardReaderDialog, [](DialogWindow& reader) {
    click(reader, card::RequestAndSelect);
    click(reader, card::AuthenticateA);
    qobject_cast<QComboBox*>(reader.view().widget(card::Block))->setCurrentIndex(4);
    reader.deliver(card::Block, kvt::platform::notify::SelectionChanged);
    click(reader, card::AuthenticateA);
    click(reader, card::Read);
    shoot(reader, "korvex-reader");
    click(reader, card::Exit);
  });
  click(main, id::KorvexReader);

  director.on(kvt::testlog::id::TestLogDialog, [](DialogWindow& options) {
    click(options, kvt::testlog::id::Activate);
    shoot(options, "testlog-options");
    options.close();
  });
  main.view().action(id::MenuTestLog)->trigger();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: kvt-screenshots FOLDER\n";
    return 2;
  }
  folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  QTemporaryDir work;
  kvt::wiring::ProgramOptions options;
  options.port = "sim";
  kvt::wiring::WiredProgram program((work.path() + "/kvt_start.cfg").toStdString(), options);
  kvt::gui::QtShell shell(program.state());
  // From the source folder, so the status line shows the path a user would choose.
  QDir::setCurrent(QStringLiteral(KVT_SOURCE_DIR));
  const QString script = QStringLiteral("examples/demo.scf");
  shell.setFileAnswer([script](bool, const kvt::platform::FileChooser&) {
    return std::optional<std::string>(script.toStdString());
  });
  Director director(shell);
  director.on(id::MainWindowDialog, [&](DialogWindow& main) {
    tour(main, director, shell, program.state());
    main.close();
  });
  program.application().run(shell);
  return failed ? 1 : 0;
}
