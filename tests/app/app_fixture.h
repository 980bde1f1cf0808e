#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/log.h"
#include "app/port_opener.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"
#include "support/fake_view.h"
#include "support/scripted_port.h"

namespace kvt::app::test {

// A port opener whose ports the test decides: a name without a factory fails with the given
// (or a "no such file") error code.
class FakePortOpener final : public PortOpener {
 public:
  using Factory = std::function<std::unique_ptr<platform::SerialPort>()>;

  Opened open(const std::string& portName) override {
    opened.push_back(portName);
    Opened result;
    auto it = factories.find(portName);
    if (it == factories.end()) {
      result.errorCode = errorFor(portName);
      return result;
    }
    result.port = it->second();
    return result;
  }
  int verify(const std::string& portName) override {
    verified.push_back(portName);
    return factories.count(portName) ? 0 : errorFor(portName);
  }
  std::string describe(const std::string& portName) override {
    auto it = descriptions.find(portName);
    return it == descriptions.end() ? std::string() : it->second;
  }

  std::map<std::string, Factory> factories;
  std::map<std::string, int> errors;
  std::map<std::string, std::string> descriptions;
  std::vector<std::string> opened;
  std::vector<std::string> verified;

 private:
  int errorFor(const std::string& portName) const {
    auto it = errors.find(portName);
    return it == errors.end() ? 2 : it->second;
  }
};

// The application core wired as the program wires it, with a fake main window and shell, a
// simulated chip and a fake port opener. No port is open at the start.
class AppFixture : public ::testing::Test {
 protected:
  AppFixture() {
    registerControl.Init(&serialBus);
    app.instance = &shell;
    app.mainWindow = &main;
    app.logBuffer = &log;
    app.portOpener = &opener;
    app.serialBus = &serialBus;
    app.serialBusObject = &serialBus;
    app.registerControl = &registerControl;
    app.registerControlObject = &registerControl;
    context = DialogContext{&main, &main, &shell, 0, 0, &app};
  }

  // Port `name` leads to the simulated chip.
  void connectSimulatedChip(const std::string& name = "COM1:") {
    opener.factories[name] = [this] { return std::make_unique<sim::SimulatedPort>(chip); };
  }
  // Port `name` leads to a scripted far end that the test controls through `scripted`.
  void connectScriptedPort(const std::string& name = "COM1:") {
    opener.factories[name] = [this] {
      auto port = std::make_unique<kvt::test::ScriptedPort>();
      scripted = port.get();
      return port;
    };
  }
  sim::SimulatedPort* simulatedPort() const { return dynamic_cast<sim::SimulatedPort*>(app.port); }
  std::string logText() const { return log.text(); }

  // Declared first, so the ports the application holds go before the chip they talk to.
  sim::Kv380 chip;
  FakePortOpener opener;
  chip::SerialBus serialBus;
  chip::RegisterControl registerControl;
  Log log;
  kvt::test::FakeView main;
  kvt::test::FakeShell shell;
  kvt::test::ScriptedPort* scripted = nullptr;
  AppState app;
  DialogContext context;
};

}  // namespace kvt::app::test
