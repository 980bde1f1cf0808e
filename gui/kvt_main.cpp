#include <QApplication>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "cli/wiring/log_file.h"
#include "cli/wiring/wired_program.h"
#include "gui/kvt_options.h"
#include "gui/qt_shell.h"

#ifndef KVT_VERSION
#define KVT_VERSION "unknown"
#endif

namespace {

constexpr int kExitUsage = 2;
constexpr const char* kLogFileHint =
    "Check that its folder exists, that the file can be written and that the disk has room.\n";

std::string startFilePath(const kvt::gui::KvtOptions& options) {
  if (options.config) return std::filesystem::absolute(*options.config).string();
  return kvt::app::StartFilePath(std::filesystem::current_path());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  kvt::gui::KvtOptions options;
  std::string error;
  // Options are read before the window system is asked for: --help needs no display.
  if (!kvt::gui::ParseKvtOptions(args, options, error)) {
    std::cerr << "kvt: " << error << "\nTry 'kvt --help'.\n";
    return kExitUsage;
  }
  if (options.help) {
    std::cout << kvt::gui::KvtUsage();
    return 0;
  }
  if (options.version) {
    std::cout << "kvt " << KVT_VERSION << "\n";
    return 0;
  }
  kvt::wiring::LogFile logFile;
  if (options.logFile && !logFile.open(*options.logFile)) {
    std::cerr << "kvt: cannot write the log file " << *options.logFile << "\n" << kLogFileHint;
    return kExitUsage;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kvt"));
  QApplication::setApplicationVersion(QStringLiteral(KVT_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("kvt"));
  kvt::wiring::WiredProgram program(startFilePath(options), options);
  if (logFile.isOpen()) logFile.follow(program.log());
  kvt::gui::QtShell shell(program.state());
  int result = program.application().run(shell);
  // With --sim-save: a simulated card whose file could not be written has lost its data.
  for (const std::string& failure : program.saveSimulatedCards()) {
    std::cerr << "kvt: " << failure << "\n";
    if (result == 0) result = 1;
  }
  if (!logFile.finish()) {
    std::cerr << "kvt: could not write the log file " << *options.logFile << "\n" << kLogFileHint;
    return kExitUsage;
  }
  return result;
}
