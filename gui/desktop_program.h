#pragma once

#include <memory>
#include <string>

#include "app/application.h"
#include "cmd/command_interpreter.h"
#include "cmd/command_services.h"
#include "gui/kvt_options.h"
#include "testlog/test_log_settings.h"

namespace kvt::gui {

// kvt's program, wired: the application core with the command language, the TestLog settings,
// the card reader and the simulated chip of the options.
class DesktopProgram {
 public:
  // `environment`: what the command language waits on and starts its runner with.
  DesktopProgram(const std::string& startFilePath, const KvtOptions& options,
                 cmd::CommandEnvironment environment = {});
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  app::Application& application() { return *application_; }
  app::AppState& state() { return application_->state(); }
  app::Log& log() { return application_->log(); }

 private:
  testlog::TestLogSettings testLog_;
  cmd::ErrorTally tally_;
  cmd::CommandEnvironment environment_;
  std::unique_ptr<app::Application> application_;
};

}  // namespace kvt::gui
