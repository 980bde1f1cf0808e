#include "testlog/apply_settings.h"

#include <cstdio>
#include <mutex>

#include "testlog/pattern_file.h"
#include "testlog/pattern_header.h"
#include "testlog/pattern_hooks.h"
#include "testlog/test_log_settings.h"

namespace kvt::testlog {

namespace {

// True when the file did not exist and has now been created empty. An existing file, even one
// that cannot be read, is left alone: exclusive creation never truncates.
bool createIfMissing(const std::string& path) {
  if (path.empty()) return false;
  if (FileHandle existing{std::fopen(path.c_str(), "rb")}) return false;
  FileHandle created{std::fopen(path.c_str(), "wbx")};
  return created != nullptr;
}

}  // namespace

void PrepareTestLogOutput(const app::DialogContext& context, const std::string& timeText) {
  if (context.app == nullptr || context.app->testLog == nullptr) return;
  app::AppState& app = *context.app;
  TestLogSettings& settings = *app.testLog;
  {
    // A running script may be in the middle of a hook: swap the writers between two accesses.
    std::lock_guard lock(app.chipLock);
    const bool created = createIfMissing(settings.outputFile);
    settings.vectorNumber = 1;
    InstallGenerator(app.testLogHooks, settings.outputFormat, settings.interface);
    if (created && settings.active == 1) {
      if (settings.outputFormat == kFormatATF) WriteAtfHeader(context, settings, timeText);
      if (settings.outputFormat == kFormatATP) WriteAtpHeader(context, settings, timeText);
    }
  }
}

void ApplyTestLogSettings(const app::DialogContext& context, const std::string& timeText) {
  if (context.app == nullptr || context.app->testLog == nullptr) return;
  PrepareTestLogOutput(context, timeText);
  SaveTestLogSettings(*context.app->testLog, context.app->startFilePath);
}

void ApplyTestLogSettings(const app::DialogContext& context) {
  ApplyTestLogSettings(context, CurrentTimeText());
}

}  // namespace kvt::testlog
