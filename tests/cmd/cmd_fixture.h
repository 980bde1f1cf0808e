#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/log.h"
#include "app/text_format.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "cmd/command_interpreter.h"
#include "cmd/command_services.h"
#include "cmd/execute_line.h"
#include "platform/clock.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"
#include "support/fake_view.h"
#include "testlog/test_log_settings.h"

namespace kvt::cmd::test {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// `text` with every LF turned into CR LF, as the log ends its lines.
inline std::string WithCrLf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// The command language wired as the program wires it, with the simulated chip on an open
// port, a fake main window and shell, a manual clock (which the chip also runs by while RI is
// looked at) and recording TestLog hooks. Pattern output is off until a test sets
// testLog.active. Each test gets a fresh folder of its own;
// enterFolder() makes it the working folder until the test ends.
class CommandFixture : public ::testing::Test {
 protected:
  CommandFixture() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("kvt_cmd_") + info->test_suite_name() + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    // The process id keeps two suites that run at once (two build folders) apart.
    name += "_" + std::to_string(getpid());
    folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    registerControl.Init(&serialBus);
    app.instance = &shell;
    app.mainWindow = &main;
    app.logBuffer = &log;
    app.serialBus = &serialBus;
    app.serialBusObject = &serialBus;
    app.registerControl = &registerControl;
    app.registerControlObject = &registerControl;
    app.testLog = &testLog;
    auto port = std::make_unique<sim::SimulatedPort>(chip, &clock);
    simulatedPort = port.get();
    app.openPort = std::move(port);
    app.port = simulatedPort;
    serialBus.setPort(app.port);
    environment.clock = &clock;
    environment.tally = &tally;
    installRecordingHooks();
  }
  ~CommandFixture() override {
    app.scriptRunning = 0;
    if (app.runnerThread.joinable()) app.runnerThread.join();
    serialBus.setPort(nullptr);
    app.port = nullptr;
    app.openPort.reset();
    if (!previousFolder.empty()) std::filesystem::current_path(previousFolder);
    std::filesystem::remove_all(folder);
  }

  void enterFolder() {
    previousFolder = std::filesystem::current_path();
    std::filesystem::current_path(folder);
  }

  // Executes `text` on the fixture's interpreter (kept between calls, like a script run).
  LineResult run(const std::string& text) {
    std::string line = text;
    return ExecuteLine(interpreter, line);
  }
  std::string logText() const { return log.text(); }
  // The log lines without their CR LF.
  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    const std::string text = log.text();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
  }
  int64_t nowMs() { return clock.now().count() / 1000; }

  // Records one hook call, which must be handed the fixture's settings.
  void record(const testlog::TestLogSettings& s, std::string call) {
    EXPECT_EQ(&s, &testLog);
    hookCalls.push_back(std::move(call));
  }
  void installRecordingHooks() {
    auto& hooks = app.testLogHooks;
    hooks.writeHook = [this](auto& s, const chip::RegisterParams& p) {
      record(s, app::Format("write %02X %02X", p.address, p.value));
    };
    hooks.readHook = [this](auto& s, const chip::RegisterParams& p, uint8_t mask) {
      record(s, app::Format("read %02X %02X %02X", p.address, p.value, mask));
    };
    hooks.commentHook = [this](auto& s, std::string_view t) {
      record(s, "comment " + std::string(t));
    };
    hooks.sleepHook = [this](auto& s, uint32_t ms) { record(s, "sleep " + std::to_string(ms)); };
  }

  std::filesystem::path folder;
  std::filesystem::path previousFolder;
  // Declared first, so the port the state holds goes before the chip it talks to.
  sim::Kv380 chip;
  chip::SerialBus serialBus;
  chip::RegisterControl registerControl;
  app::Log log;
  kvt::test::FakeView main;
  kvt::test::FakeShell shell;
  platform::ManualClock clock;
  ErrorTally tally;
  testlog::TestLogSettings testLog;
  std::vector<std::string> hookCalls;
  app::AppState app;
  sim::SimulatedPort* simulatedPort = nullptr;
  app::DialogContext context{&main, &main, &shell, 0, 0, &app};
  CommandEnvironment environment;
  CommandInterpreter interpreter{context, clock, &tally};
};

}  // namespace kvt::cmd::test
