#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/text_format.h"
#include "cmd/command_interpreter.h"
#include "cmd/command_services.h"
#include "cmd/execute_line.h"
#include "platform/clock.h"
#include "support/app_wiring.h"
#include "testlog/test_log_settings.h"

namespace kvt::cmd::test {

using kvt::test::ReadFile;
using kvt::test::WithCrLf;

// The command language wired as the program wires it, with the simulated chip on an open
// port, a fake main window and shell, a manual clock (which the chip also runs by while RI is
// looked at) and recording TestLog hooks. Pattern output is off until a test sets
// testLog.active. Each test gets a fresh folder of its own; enterFolder() makes it the working
// folder until the test ends.
class CommandFixture : public ::testing::Test, public kvt::test::AppWiring {
 protected:
  CommandFixture() : simulatedPort(&openPort(std::make_unique<sim::SimulatedPort>(chip, &clock))) {
    app.testLog = &testLog;
    environment.clock = &clock;
    environment.tally = &tally;
    installRecordingHooks();
  }
  ~CommandFixture() override {
    // The runner may use the members below: it ends before they go.
    app.scriptRunning = 0;
    if (app.runnerThread.joinable()) app.runnerThread.join();
    closePort();
    if (!previousFolder.empty()) std::filesystem::current_path(previousFolder);
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

  kvt::test::TempFolder tempFolder;
  std::filesystem::path folder = tempFolder.path;
  std::filesystem::path previousFolder;
  platform::ManualClock clock;
  ErrorTally tally;
  testlog::TestLogSettings testLog;
  std::vector<std::string> hookCalls;
  sim::SimulatedPort* simulatedPort;
  CommandEnvironment environment;
  CommandInterpreter interpreter{context, clock, &tally};
};

}  // namespace kvt::cmd::test
