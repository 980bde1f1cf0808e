#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/components.h"
#include "app/log.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"
#include "support/fake_view.h"
#include "support/files.h"

namespace kvt::test {

// The application state as the program wires it: every chip stack component, the log, a fake
// main window and shell, and a simulated chip that openSimulatedPort() puts on an open port.
struct AppWiring {
  AppWiring() {
    components.publish(app);
    app.instance = &shell;
    app.mainWindow = &main;
    app.logBuffer = &log;
  }
  ~AppWiring() {
    app.scriptRunning = 0;
    if (app.runnerThread.joinable()) app.runnerThread.join();
    closePort();
  }

  // The program's state after opening a port that leads to the simulated chip.
  sim::SimulatedPort& openSimulatedPort() {
    return openPort(std::make_unique<sim::SimulatedPort>(chip));
  }
  template <class Port>
  Port& openPort(std::unique_ptr<Port> port) {
    Port& opened = *port;
    app.openPort = std::move(port);
    app.port = &opened;
    components.serialBus.setPort(app.port);
    return opened;
  }
  void closePort() {
    components.serialBus.setPort(nullptr);
    app.port = nullptr;
    app.openPort.reset();
  }

  std::string logText() const { return log.text(); }
  std::vector<std::string> logLines() const { return SplitCrLf(log.text()); }

  // Declared first, so the port the state holds goes before the chip it talks to.
  sim::Kv380 chip;
  app::Components components;
  chip::SerialBus& serialBus = components.serialBus;
  chip::RegisterControl& registerControl = components.registerControl;
  app::Log log;
  FakeView main;
  FakeShell shell;
  app::AppState app;
  app::DialogContext context{&main, &main, &shell, 0, 0, &app};
};

}  // namespace kvt::test
