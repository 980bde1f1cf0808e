#include "testlog/test_log_subsystem.h"

#include "testlog/apply_settings.h"
#include "testlog/pattern_file.h"
#include "testlog/pattern_hooks.h"
#include "testlog/test_log_dialog.h"

namespace kvt::testlog {

void InstallTestLog(app::AppState& app, TestLogSettings& settings) {
  app.testLog = &settings;
  app.services.runTestLogDialog = RunTestLogDialog;
}

bool EnableFromStartFile(app::AppState& app) {
  if (app.testLog == nullptr) return false;
  TestLogSettings loaded = *app.testLog;
  LoadTestLogSettings(loaded, app.startFilePath);
  // Settings that name no generator would only leave an empty pattern file behind.
  if (!HasGenerator(loaded.outputFormat, loaded.interface)) return false;
  loaded.active = 1;
  {
    std::lock_guard lock(app.chipLock);
    *app.testLog = std::move(loaded);
  }
  const app::DialogContext context{app.mainWindow, app.mainWindow, app.instance, 0, 0, &app};
  PrepareTestLogOutput(context, CurrentTimeText());
  return static_cast<bool>(app.testLogHooks.writeHook);
}

}  // namespace kvt::testlog
