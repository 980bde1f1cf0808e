#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "testlog/test_log_settings.h"

// The pattern writers behind the four hooks the register commands call. Each call appends the
// operation's text (from the user's template in the input folder when there is one, else the
// built-in text of its format and interface) to the output file, which stays open and is
// flushed before every wait (FlushPatternOutputs); a file that cannot be opened makes the call
// write nothing. Comment lines are "!" (.atf) or "//" (.atp), the text with its line breaks
// made blanks, LF.
namespace kvt::testlog {

// Tester cycles per millisecond of a wait, by interface (both formats).
constexpr uint32_t kI2cCyclesPerMillisecond = 8334;
constexpr uint32_t kSpiCyclesPerMillisecond = 25000;

// The repeat count of a wait: the milliseconds the command really waits (modulo 65536) times
// the interface's cycles per millisecond.
uint32_t SleepCycles(int32_t interface, uint32_t milliseconds);
// " ==> Sleep operation for " + the milliseconds waited (modulo 65536), 8 wide, + " ms ".
std::string SleepComment(uint32_t milliseconds);
// " WR(hAA,hDD) " and " RD(hAA,hVV,hMM) ".
std::string WriteComment(uint8_t address, uint8_t value);
std::string ReadComment(uint8_t address, uint8_t expected, uint8_t mask);

// Sets the four hooks to the writers of `outputFormat` and `interface`, or empties all four when
// that pair names no generator (a format or interface other than 0 and 1).
void InstallGenerator(app::TestLogHooks& hooks, int32_t outputFormat, int32_t interface);
// True when InstallGenerator would install writers for this pair.
bool HasGenerator(int32_t outputFormat, int32_t interface);

}  // namespace kvt::testlog
