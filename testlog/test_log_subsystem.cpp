#include "testlog/test_log_subsystem.h"

#include <filesystem>

#include "testlog/apply_settings.h"
#include "testlog/pattern_file.h"
#include "testlog/pattern_hooks.h"
#include "testlog/test_log_dialog.h"

namespace kvt::testlog {

void InstallTestLog(app::AppState& app, TestLogSettings& settings) {
  app.testLog = &settings;
  app.services.runTestLogDialog = RunTestLogDialog;
}

namespace {

// The pattern file exists (preparing the output creates a missing one) and takes appends.
bool outputWritable(const std::string& path) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return false;
  return OpenForAppend(path) != nullptr;
}

}  // namespace

bool EnableFromStartFile(app::AppState& app, std::string& error) {
  if (app.testLog == nullptr) {
    error = "this program has no pattern output";
    return false;
  }
  TestLogSettings loaded = *app.testLog;
  LoadTestLogSettings(loaded, app.startFilePath);
  // Settings that name no generator would only leave an empty pattern file behind.
  if (!HasGenerator(loaded.outputFormat, loaded.interface)) {
    error = "the section [TestLog] of " + app.startFilePath +
            " names no pattern generator (Interface and OutputFormat must be 0 or 1)";
    return false;
  }
  loaded.active = 1;
  {
    std::lock_guard lock(app.chipLock);
    *app.testLog = std::move(loaded);
  }
  const app::DialogContext context{app.mainWindow, app.mainWindow, app.instance, 0, 0, &app};
  PrepareTestLogOutput(context, CurrentTimeText());
  if (!outputWritable(app.testLog->outputFile)) {
    // Patterns that could go nowhere must not look like a run that recorded them.
    std::lock_guard lock(app.chipLock);
    app.testLog->active = 0;
    app.testLogHooks = {};
    error =
        "cannot write the pattern file '" + app.testLog->outputFile + "' (OutputFile in [TestLog])";
    return false;
  }
  return static_cast<bool>(app.testLogHooks.writeHook);
}

}  // namespace kvt::testlog
