#include "cmd/test_log_calls.h"

#include <mutex>

#include "testlog/test_log_settings.h"

namespace kvt::cmd {

namespace {
// Only with the chip lock held.
bool activeLocked(const app::AppState& app) {
  return app.testLog != nullptr && app.testLog->active != 0;
}
}  // namespace

// The hooks and the settings they write through (the `active` flag too) are changed by the
// TestLog dialog under the chip lock; every look takes it as well, so a dialog never races a
// running script.
bool TestLogActive(app::AppState& app) {
  std::lock_guard lock(app.chipLock);
  return activeLocked(app);
}

void CallWriteHook(app::AppState& app, const chip::RegisterParams& access) {
  std::lock_guard lock(app.chipLock);
  if (activeLocked(app) && app.testLogHooks.writeHook) {
    app.testLogHooks.writeHook(*app.testLog, access);
  }
}

void CallReadHook(app::AppState& app, const chip::RegisterParams& access, uint8_t mask) {
  std::lock_guard lock(app.chipLock);
  if (activeLocked(app) && app.testLogHooks.readHook) {
    app.testLogHooks.readHook(*app.testLog, access, mask);
  }
}

void CallCommentHook(app::AppState& app, std::string_view line) {
  std::lock_guard lock(app.chipLock);
  if (activeLocked(app) && app.testLogHooks.commentHook) {
    app.testLogHooks.commentHook(*app.testLog, line);
  }
}

void CallSleepHook(app::AppState& app, uint32_t milliseconds) {
  std::lock_guard lock(app.chipLock);
  if (activeLocked(app) && app.testLogHooks.sleepHook) {
    app.testLogHooks.sleepHook(*app.testLog, milliseconds);
  }
}

}  // namespace kvt::cmd
