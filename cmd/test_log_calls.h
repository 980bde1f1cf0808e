#pragma once

#include <cstdint>
#include <string_view>

#include "app/app_state.h"
#include "chip/register_control.h"

// The command side of the test-pattern output: a hook runs only while pattern output is
// active and a generator has installed it, always with the TestLog settings record first.
namespace kvt::cmd {

// True while pattern output is switched on (whether or not a generator is installed). Takes
// the chip lock: the TestLog dialog switches the output under it.
bool TestLogActive(app::AppState& app);

void CallWriteHook(app::AppState& app, const chip::RegisterParams& access);
void CallReadHook(app::AppState& app, const chip::RegisterParams& access, uint8_t mask);
void CallCommentHook(app::AppState& app, std::string_view line);
void CallSleepHook(app::AppState& app, uint32_t milliseconds);

}  // namespace kvt::cmd
