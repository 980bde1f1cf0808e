#pragma once

#include <string>

#include "app/app_state.h"
#include "testlog/test_log_settings.h"

// How a program takes the test-pattern output in.
namespace kvt::testlog {

// app.testLog points at `settings` (owned by the program, living as long as `app`) and the Log
// menu's "TestLog" entry opens the settings dialog. Output stays off until the user applies it.
void InstallTestLog(app::AppState& app, TestLogSettings& settings);

// What kvt-cli --testlog does before it runs anything: loads the settings from the start-up file
// and applies them as the dialog's OK would with "Activate Test Output" ticked (a new output
// file gets its header), except that the start-up file is not written back. True when a
// pattern generator is installed. False, with a sentence for people in `error` and the output
// left off, when the file's Interface and OutputFormat name no generator (no file is created),
// when `app` has no settings record, or when the OutputFile cannot be created or appended to (a
// folder, a missing folder, no permission).
bool EnableFromStartFile(app::AppState& app, std::string& error);

}  // namespace kvt::testlog
