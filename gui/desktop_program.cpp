#include "gui/desktop_program.h"

#include <filesystem>

#include "app/startup.h"
#include "cardreader/korvex_reader_dialog.h"
#include "sim/field_setup.h"
#include "sim/kv380.h"
#include "testlog/test_log_subsystem.h"

namespace kvt::gui {

DesktopProgram::DesktopProgram(const std::string& startFilePath, const KvtOptions& options,
                               cmd::CommandEnvironment environment)
    : environment_(std::move(environment)) {
  const std::filesystem::path folder = std::filesystem::path(startFilePath).parent_path();
  application_ = std::make_unique<app::Application>(options.piShown ? "-pi" : "", folder);
  app::AppState& state = application_->state();
  testlog::InstallTestLog(state, testLog_);
  environment_.tally = &tally_;
  cmd::InstallCommandServices(state, environment_);
  cardreader::InstallCardReader(state);
  if (options.port) {
    application_->portOpener().setDeviceOverride(*options.port);
  }
  const sim::FieldSetup field = options.field;
  application_->portOpener().setSimulatorSetup(
      [field](sim::Kv380& chip) { sim::applyFieldSetup(field, chip.field()); });
}

}  // namespace kvt::gui
