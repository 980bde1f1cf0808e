#pragma once

#include <string>

#include "app/app_state.h"

// The OK of the TestLog settings dialog.
namespace kvt::testlog {

// Applies context.app->testLog: creates the output file when it does not exist yet, sets the
// vector number to 1, installs the generator of the chosen format and interface into
// context.app->testLogHooks (none for other values), writes the format's header into a file it
// has just created while output is active, and stores the settings in the start-up file. A file
// that already existed is never truncated and gets no header. `timeText` is the header's time
// (TimeText); the overload without it takes the time now. Nothing happens without a settings
// record.
void ApplyTestLogSettings(const app::DialogContext& context, const std::string& timeText);
void ApplyTestLogSettings(const app::DialogContext& context);

// ApplyTestLogSettings without storing the settings: for settings that were just read from the
// start-up file, which then stays as it is.
void PrepareTestLogOutput(const app::DialogContext& context, const std::string& timeText);

}  // namespace kvt::testlog
