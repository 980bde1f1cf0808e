#pragma once

#include <string>

#include "app/app_state.h"
#include "testlog/test_log_settings.h"

// The header at the top of a new pattern file: the user's header template from the input folder
// ("HeaderI2C.atf", "HeaderSPI.atp" ...) with the slave address markers "S0".."S6" and the
// codes "%f" (the output file's name), "%t" (`timeText`), "%c" and "%#" filled in; without a
// template the format's default header. Either way one line in the log says which. `timeText`
// is the local time as TimeText makes it.
namespace kvt::testlog {

void WriteAtfHeader(const app::DialogContext& context, TestLogSettings& settings,
                    const std::string& timeText);
void WriteAtpHeader(const app::DialogContext& context, TestLogSettings& settings,
                    const std::string& timeText);

}  // namespace kvt::testlog
