#include "app/main_window.h"

#include <memory>

#include "app/command_history.h"
#include "app/control_ids.h"
#include "app/log.h"
#include "app/port_settings_dialog.h"
#include "app/programming_interface.h"
#include "app/register_dialog.h"
#include "app/register_dump.h"
#include "app/serial_ports.h"
#include "platform/path_parts.h"

namespace kvt::app {

namespace {

constexpr int kLineDone = 1;
constexpr std::size_t kCommandLineLength = 127;
constexpr std::size_t kMinimumCommandLength = 3;
constexpr std::size_t kOverrideNameLength = 253;

// The About dialog (104) only has to be closed again.
class AboutDialog final : public platform::DialogProcedure {
 public:
  void init(platform::View&) override {}
  void command(platform::View& window, int id, int) override {
    if (id == id::AboutOk || id == 2) window.close(id);
  }
  void closeRequest(platform::View& window) override { window.close(0); }
};

void call(const std::function<void(const DialogContext&)>& service, const DialogContext& context) {
  if (service) service(context);
}

}  // namespace

DialogContext MainWindow::contextFor(platform::View& window, int id, int notification) const {
  return DialogContext{&window, &window, app_.instance, 0, PackCommand(id, notification), &app_};
}

void MainWindow::init(platform::View& window) {
  app_.mainWindow = &window;
  app_.historyBrowsing = 0;
  app_.suppressClose = 0;
  app_.resumeLine = 0;
  app_.piMenu.clear();

  ShowPortState(window, false);
  // The TestLog options are reachable: without them no pattern output could ever be made.
  window.enable(id::MenuTestLog, true);
  window.setVisible(id::PiButton, false);

  window.setText(id::PortName, app_.portNames[app_.portIndex]);
  window.setText(id::HostSpeed, "9600");
  window.setText(id::OpenClosed, "C");
  window.setText(id::BitOrder, "N");
  window.setText(id::OperationStatus, app_.commandFilePath);

  const DialogContext context = contextFor(window, 0, 0);
  app_.monospaceFont = window.setMonospaceFont(id::LogPane);
  if (!app_.monospaceFont) AppendLog(context, "ERROR: Cannot create monospace font!", true);

  if (app_.piHidden == 0) {
    window.setVisible(id::PiButton, true);
    FillPiMenu(context);
  }
}

void MainWindow::command(platform::View& window, int id, int notification) {
  const DialogContext context = contextFor(window, id, notification);
  if (id >= id::PiFirst && id <= id::PiLast) {
    RunPiAction(context);
    return;
  }
  // Each group answers whether the id was one of its own; the command line's own
  // notifications and anything unknown are left alone.
  if (portCommand(id, context)) return;
  if (scriptCommand(window, id, context)) return;
  if (dialogCommand(window, id, context)) return;
  logCommand(id, context);
}

bool MainWindow::portCommand(int id, const DialogContext& context) {
  switch (id) {
    case id::OpenButton:
      OpenPort(context);
      app_.resumeLine = 0;
      return true;
    case id::MenuOpen:
      OpenPort(context);
      return true;
    case id::CloseButton:
    case id::MenuClose:
      ClosePort(context);
      app_.resumeLine = 0;
      return true;
    case id::AllTo115k:
      app_.resumeLine = 0;
      SwitchAllTo115200(context);
      return true;
    case id::MenuHost9600:
      SetHostSpeed9600(context);
      PurgePort(context);
      return true;
    case id::MenuHost115200:
      SetHostSpeed115200(context);
      PurgePort(context);
      return true;
    default:
      return false;
  }
}

bool MainWindow::scriptCommand(platform::View& window, int id, const DialogContext& context) {
  switch (id) {
    case id::Process:
      runCommandLine(window, context);
      return true;
    case id::SelectScf:
    case id::MenuSelectCommandFile:
      app_.resumeLine = 0;
      call(app_.services.selectCommandFile, context);
      app_.resumeLine = 0;
      return true;
    case id::ProcessScf:
    case id::MenuProcessCommandFile:
      PurgePort(context);
      call(app_.services.processCommandFile, context);
      return true;
    case id::OverrideName:
      overrideName(window);
      return true;
    case id::ScriptEnded:
      reapScriptThread();
      return true;
    default:
      return false;
  }
}

bool MainWindow::dialogCommand(platform::View& window, int id, const DialogContext& context) {
  switch (id) {
    case id::RegisterIo:
    case id::MenuAccessRegister:
      openRegisterDialog(window);
      return true;
    case id::PiButton:
      app_.resumeLine = 0;
      ShowPiMenu(context);
      return true;
    case id::KorvexReader:
      call(app_.services.runCardReaderDialog, context);
      return true;
    case id::MenuTestLog:
      call(app_.services.runTestLogDialog, context);
      return true;
    case id::MenuInfo: {
      AboutDialog about;
      if (app_.instance != nullptr) app_.instance->runModal(id::AboutDialog, &window, about);
      return true;
    }
    case id::MenuSettings: {
      PortSettingsDialog settings(app_);
      if (app_.instance != nullptr) {
        app_.instance->runModal(id::PortSettingsDialog, &window, settings);
      }
      return true;
    }
    case id::MenuExit:
      end(window, 0);
      return true;
    default:
      return false;
  }
}

void MainWindow::logCommand(int id, const DialogContext& context) {
  switch (id) {
    case id::DumpRegister:
      DumpRegisters(context);
      break;
    case id::MenuSaveLog:
      SaveLog(context);
      break;
    case id::MenuClearLog:
      ClearLog(context);
      break;
    case id::MenuCommands:
      call(app_.services.printCommandReference, context);
      break;
    default:
      break;
  }
}

void MainWindow::runCommandLine(platform::View& window, const DialogContext& context) {
  const std::string text = window.text(id::CommandLine).substr(0, kCommandLineLength);
  window.setFocus(id::CommandLine);
  if (text.size() < kMinimumCommandLength) {
    app_.historyBrowsing = 0;
    return;
  }
  int result = 0;
  if (app_.services.executeLine) {
    std::string line = text;  // the interpreter changes its line in place
    result = app_.services.executeLine(context, line);
  }
  if (result != kLineDone) {
    app_.historyBrowsing = 0;  // the text stays for correction
    return;
  }
  RememberCommand(app_, text);
  window.setText(id::CommandLine, "");
  app_.historyBrowsing = 0;
}

bool MainWindow::key(platform::View& window, int id, platform::Key key) {
  if (id == id::LogPane) return key == platform::Key::Escape;
  if (id != id::CommandLine) return false;
  if (key == platform::Key::Escape) {
    window.setText(id::CommandLine, "");
    app_.historyBrowsing = 0;
    return true;
  }
  if (const auto entry = BrowseHistory(app_, key)) {
    window.setText(id::CommandLine, *entry);
    window.setCaret(id::CommandLine, entry->size());
  }
  return true;
}

void MainWindow::overrideName(platform::View& window) {
  if (app_.commandFilePath == "NULL") return;
  platform::PathParts parts = platform::SplitPath(app_.commandFilePath);
  parts.name = window.text(id::OverrideName).substr(0, kOverrideNameLength);
  app_.commandFilePath = platform::JoinPath(parts);
  window.setText(id::OperationStatus, app_.commandFilePath);
}

void MainWindow::openRegisterDialog(platform::View& window) {
  if (app_.registerDialog != nullptr || app_.instance == nullptr) return;
  app_.registerDialog = app_.instance->createModeless(id::RegisterDialog, &window,
                                                      std::make_unique<RegisterDialog>(app_));
}

void MainWindow::reapScriptThread() {
  // The runner has done its last step when the progress dialog closes; joining is quick.
  if (app_.runnerThread.joinable()) app_.runnerThread.join();
}

void MainWindow::closeRequest(platform::View& window) {
  if (app_.suppressClose != 0) {
    app_.suppressClose = 0;
    return;
  }
  end(window, 0);
}

void MainWindow::end(platform::View& window, int result) {
  ClosePort(contextFor(window, 0, 0));
  app_.mainWindow = nullptr;
  window.close(result);
}

ResizeAction DecideResize(const AppState& app, int width, int height) {
  if (height < app.initialHeight) return ResizeAction::RestoreHeight;
  if (width != app.initialWidth) return ResizeAction::RestoreWidth;
  return ResizeAction::StretchLogPane;
}

}  // namespace kvt::app
