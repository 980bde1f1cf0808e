// How fast the desktop window is, against the simulated chip, measured in one run:
//  - start-up: from the process's start to the main window on screen (target: 0.5 s);
//  - a command file of 100000 SR lines run with "Process SCF", log pane included, against
//    `kvt-cli --sim run` of the same file (target: at most 1.5 times its time).
// Usage: kvt-window-bench KVT-CLI [LINES]   (QT_QPA_PLATFORM=offscreen works; Xvfb too)
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/control_ids.h"
#include "cli/wiring/wired_program.h"
#include "gui/dialog_window.h"
#include "gui/qt_shell.h"

namespace {

// Seconds since the process started, from the kernel's start time (boot-based clock).
double secondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string content((std::istreambuf_iterator<char>(stat)), {});
  std::istringstream fields(content.substr(content.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22; ++i) fields >> field;  // field 22: start time in clock ticks
  const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - started;
}

double cliSeconds(const std::string& cli, const std::string& script) {
  const auto start = std::chrono::steady_clock::now();
  const std::string command = "'" + cli + "' --sim run '" + script + "' > /dev/null";
  if (std::system(command.c_str()) != 0) std::cerr << "kvt-window-bench: kvt-cli failed\n";
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void clickAndWait(kvt::gui::DialogWindow& main, int control) {
  qobject_cast<QAbstractButton*>(main.view().widget(control))->click();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: kvt-window-bench KVT-CLI [LINES]\n";
    return 2;
  }
  const std::string cli = argv[1];
  const int lines = argc > 2 ? std::stoi(argv[2]) : 100000;
  QTemporaryDir work;
  const std::string script = work.path().toStdString() + "/sr.scf";
  {
    std::ofstream file(script);
    for (int i = 0; i < lines; ++i) file << "SR 19 " << std::hex << (i & 0xFF) << std::dec << "\n";
  }

  kvt::wiring::ProgramOptions options;
  options.port = "sim";
  kvt::wiring::WiredProgram program(work.path().toStdString() + "/kvt_start.cfg", options);
  kvt::gui::QtShell shell(program.state());
  shell.setFileAnswer([script](bool, const kvt::platform::FileChooser&) {
    return std::optional<std::string>(script);
  });
  double shownAfter = 0, windowSeconds = 0;
  shell.setDialogHook([&](kvt::gui::DialogWindow& window) {
    if (window.dialogId() != kvt::app::id::MainWindowDialog) return;
    QTimer::singleShot(0, &window, [&] {
      while (!window.windowHandle()->isExposed()) QCoreApplication::processEvents();
      shownAfter = secondsSinceProcessStart();
      clickAndWait(window, kvt::app::id::OpenButton);
      QElapsedTimer timer;
      timer.start();
      clickAndWait(window, kvt::app::id::ProcessScf);  // back when "Processing..." has closed
      QCoreApplication::processEvents();               // the pane's last appends
      windowSeconds = timer.nsecsElapsed() / 1e9;
      window.close();
    });
  });
  program.application().run(shell);
  const double cliTime = cliSeconds(cli, script);

  std::printf("start-up to main window shown: %.3f s (target 0.5 s)\n", shownAfter);
  std::printf("%d SR lines in the window:      %.3f s\n", lines, windowSeconds);
  std::printf("%d SR lines with kvt-cli:       %.3f s\n", lines, cliTime);
  std::printf("window / kvt-cli:                %.2f (target at most 1.5)\n",
              windowSeconds / cliTime);
  return 0;
}
