#include "app/application.h"

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/startup.h"

namespace kvt::app {

Application::Application(std::string_view commandLine,
                         const std::filesystem::path& currentDirectory)
    : Application(StartFilePath(currentDirectory), HasPiSwitch(commandLine)) {}

Application::Application(std::string startFilePath, bool piShown) : opener_(startFilePath) {
  state_.startFilePath = std::move(startFilePath);
  state_.portIndex = ReadPortIndex(state_.startFilePath);
  state_.logBuffer = &log_;
  state_.piHidden = piShown ? 0 : 1;
  state_.portOpener = &opener_;
  // The command language, the test-log settings (state_.testLog) and the card reader sit above
  // this core; each program installs them into state_ after construction.
  components_.publish(state_);
}

Application::~Application() {
  // A run still going on when the program ends is asked to stop and waited for.
  state_.scriptRunning = 0;
  if (state_.runnerThread.joinable()) state_.runnerThread.join();
  std::lock_guard lock(state_.chipLock);
  if (state_.serialBusObject != nullptr) state_.serialBusObject->setPort(nullptr);
  state_.port = nullptr;
  state_.openPort.reset();
}

int Application::run(platform::Shell& shell) {
  state_.instance = &shell;
  MainWindow mainWindow(state_);
  const int result = shell.runModal(id::MainWindowDialog, nullptr, mainWindow);
  exit();
  return result;
}

void Application::exit() { WritePortIndex(state_.startFilePath, state_.portIndex); }

}  // namespace kvt::app
