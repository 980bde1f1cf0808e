#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/app_wiring.h"
#include "testlog/pattern_header.h"
#include "testlog/pattern_hooks.h"
#include "testlog/pattern_output.h"
#include "testlog/test_log_settings.h"

namespace kvt::testlog::test {

// The header time every test uses, so headers compare byte for byte.
inline const std::string kTime = "Tue Mar 05 14:07:09 2024\n";

using kvt::test::CountLines;
using kvt::test::ReadFile;
using kvt::test::WriteFile;

// The wired application with a settings record and a fresh folder holding the start-up file,
// the output file and the templates.
class TestLogFixture : public ::testing::Test, public kvt::test::AppWiring {
 protected:
  TestLogFixture() {
    std::filesystem::create_directories(dir / "templates");
    app.startFilePath = (dir / "kvt_start.cfg").string();
    app.testLog = &settings;
    settings.outputFile = output().string();
    settings.inputPath = templates().string() + kPathSeparator;
    settings.i2cAddress = 0x2C;
    settings.vectorNumber = 1;
  }

  std::filesystem::path output() const { return dir / "out.pat"; }
  std::filesystem::path templates() const { return dir / "templates"; }
  std::string outputText() const {
    FlushPatternOutputs();
    return ReadFile(output());
  }
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

  kvt::test::TempFolder folder;
  std::filesystem::path dir = folder.path;
  TestLogSettings settings;
};

}  // namespace kvt::testlog::test
