#pragma once

#include "app/app_state.h"
#include "platform/shell.h"

namespace kvt::app {

// Dialog 105: choose one of the eight ports, verify that it can be opened, apply the choice.
// Reached only while the port is closed. The test-chip check box stays hidden, so Apply writes
// back the bit-order state the dialog found.
class PortSettingsDialog final : public platform::DialogProcedure {
 public:
  explicit PortSettingsDialog(AppState& app) : app_(app) {}

  void init(platform::View& window) override;
  void command(platform::View& window, int id, int notification) override;
  void closeRequest(platform::View& window) override { window.close(0); }

 private:
  void verify(platform::View& window);
  void apply(platform::View& window);

  AppState& app_;
};

}  // namespace kvt::app
