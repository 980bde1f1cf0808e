#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "app/log.h"
#include "chip/register_control.h"
#include "support/fake_view.h"
#include "testlog/pattern_header.h"
#include "testlog/pattern_hooks.h"
#include "testlog/test_log_settings.h"

namespace kvt::testlog::test {

// The header time every test uses, so headers compare byte for byte.
inline const std::string kTime = "Tue Mar 05 14:07:09 2024\n";

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Counts the lines of `text` that start with `prefix`.
inline int CountLines(const std::string& text, const std::string& prefix) {
  int count = 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(prefix, 0) == 0) ++count;
  }
  return count;
}

// A fresh folder per test holding the start-up file, the output file and the templates; the
// application state with a log, a fake main window and shell, and a settings record.
class TestLogFixture : public ::testing::Test {
 protected:
  TestLogFixture() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          (std::string("kvt_testlog_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "templates");
    app.instance = &shell;
    app.mainWindow = &main;
    app.logBuffer = &log;
    app.startFilePath = (dir / "kvt_start.cfg").string();
    app.testLog = &settings;
    context = app::DialogContext{&main, &main, &shell, 0, 0, &app};
    settings.outputFile = output().string();
    settings.inputPath = templates().string() + kPathSeparator;
    settings.i2cAddress = 0x2C;
    settings.vectorNumber = 1;
  }
  ~TestLogFixture() override { std::filesystem::remove_all(dir); }

  std::filesystem::path output() const { return dir / "out.pat"; }
  std::filesystem::path templates() const { return dir / "templates"; }
  std::string outputText() const { return ReadFile(output()); }
  void putTemplate(const std::string& name, const std::string& content) {
    WriteFile(templates() / name, content);
  }
  // Switches the pattern output to `outputFormat` and `interface` with their generator.
  void install(int32_t outputFormat, int32_t interface) {
    settings.outputFormat = outputFormat;
    settings.interface = interface;
    InstallGenerator(app.testLogHooks, outputFormat, interface);
  }
  // The default header or the template's, and the four pattern calls.
  void header() {
    if (settings.outputFormat == kFormatATF) WriteAtfHeader(context, settings, kTime);
    if (settings.outputFormat == kFormatATP) WriteAtpHeader(context, settings, kTime);
  }
  void write(uint8_t address, uint8_t value) {
    app.testLogHooks.writeHook(settings, chip::RegisterParams{address, value, nullptr});
  }
  void read(uint8_t address, uint8_t expected, uint8_t mask) {
    app.testLogHooks.readHook(settings, chip::RegisterParams{address, expected, nullptr}, mask);
  }
  void sleep(uint32_t milliseconds) { app.testLogHooks.sleepHook(settings, milliseconds); }
  void comment(std::string_view text) { app.testLogHooks.commentHook(settings, text); }

  std::filesystem::path dir;
  app::Log log;
  kvt::test::FakeView main;
  kvt::test::FakeShell shell;
  TestLogSettings settings;
  app::AppState app;
  app::DialogContext context;
};

}  // namespace kvt::testlog::test
