#include "cli/wiring/wired_program.h"

#include "cardreader/korvex_reader_dialog.h"
#include "platform/port_name.h"
#include "sim/simulated_port.h"
#include "testlog/test_log_subsystem.h"

namespace kvt::wiring {

WiredProgram::WiredProgram(std::string startFilePath, const ProgramOptions& options,
                           cmd::CommandEnvironment environment)
    : field_(options.field), application_(std::move(startFilePath), options.piShown) {
  app::AppState& app = application_.state();
  app::DevicePortOpener& opener = application_.portOpener();
  // The simulated chip runs by the clock of the command language's waits while one looks at RI.
  opener.setSimulatedPorts(
      [this] { return std::make_unique<sim::SimulatedPort>(simulatedChip(), environment_.clock); });
  if (options.port) {
    const int index = platform::PortNameIndex(*options.port, platform::PortNameSpelling::Loose);
    if (index >= 0) {
      app.portIndex = static_cast<uint8_t>(index);
    } else {
      opener.setDeviceOverride(*options.port);
    }
  }
  testlog::InstallTestLog(app, testLog_);
  environment_ = std::move(environment);
  environment_.tally = &tally_;
  application_.components().setClock(environment_.clock);
  cmd::InstallCommandServices(app, environment_);
  cardreader::InstallCardReader(app);
}

sim::Kv380& WiredProgram::simulatedChip() {
  if (chip_ == nullptr) {
    chip_ = std::make_unique<sim::Kv380>();
    imageCards_ = sim::applyFieldSetup(field_, chip_->field());
    if (setup_) setup_(*chip_);
  }
  return *chip_;
}

std::vector<std::string> WiredProgram::saveSimulatedCards() {
  if (!field_.saveImages) return {};
  return sim::saveImageCards(imageCards_);
}

}  // namespace kvt::wiring
