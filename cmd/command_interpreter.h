#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "platform/clock.h"

// The lexical level of the command language: the interpreter record that executes lines, the
// token reader, operands (user registers or hexadecimal literals) and decimal parameters.
namespace kvt::cmd {

// What ExecuteLine reports to its caller.
enum LineResult : int {
  LineDone = 1,    // handled (also empty lines, comments, lines skipped by a label search)
  LineFailed = 0,  // nothing executed: unknown command, unreadable operand, JMP without label, SAV
  LineJump = -1,   // a label search has started; a script runner rewinds its file
  LineBreak = -2,  // BRK: a script runner stops
};

// Counts of what went wrong while lines ran, for callers that judge a whole run (kvt-cli
// --strict). Shared by every interpreter that is handed the same tally.
struct ErrorTally {
  std::atomic<int> failedLines{0};       // unknown commands, unreadable operands, JMP without label
  std::atomic<int> registerFailures{0};  // register commands whose status was not 0
  std::atomic<int> compareErrors{0};     // RE/RF lines that ended in " ** ERROR **"
  // Told of each failing register status as it is counted (kvt-cli describes it); may be empty.
  std::function<void(uint16_t status)> statusFailed;
  int total() const { return failedLines + registerFailures + compareErrors; }
};

constexpr std::size_t kTokenSize = 32;  // 31 characters and the terminator

// Executes lines; made fresh for every command line entry and every script run, so the user
// registers start at 0 each time.
struct CommandInterpreter {
  explicit CommandInterpreter(const app::DialogContext& context,
                              platform::Clock& clock = platform::SystemClock::instance(),
                              ErrorTally* tally = nullptr)
      : context(context), clock(&clock), tally(tally) {}

  std::string* line = nullptr;  // the line being executed
  std::size_t cursor = 0;       // parse position in *line
  uint8_t searching = 0;        // 1 while a jump looks for its label
  std::array<uint8_t, 3> literalSlots{};
  app::DialogContext context;
  std::array<char, kTokenSize> targetLabel{};
  uint8_t operandError = 0;
  uint8_t IOR = 0;
  uint8_t IOE = 0;
  std::array<uint8_t, 8> ML{};  // ML0 .. ML7

  platform::Clock* clock;  // what SLP, WIE and WIL wait on
  // When set, SLP, WIE and WIL end early once it is 0 (Ctrl-C or SIGTERM in kvt-cli).
  const std::atomic<uint8_t>* running = nullptr;
  ErrorTally* tally;  // may be null
};

// Token characters: '/', '0'-'9', 'A'-'Z', '>', ':', '#', '_'.
bool IsTokenCharacter(unsigned char c);
// NUL, control characters other than tab, and bytes from 0x80 on end a line for the reader.
bool EndsLine(unsigned char c);

// Reads the next token from the interpreter's cursor into `token` (at most 31 characters,
// zero-filled). Returns false, with an empty token, when the line ends first.
bool ReadToken(CommandInterpreter& interpreter, std::array<char, kTokenSize>& token);

// The cell an operand token names: one of the ten user registers, or the literal slot of
// parameter `position` (1 to 3) holding the low 8 bits of the token read as hexadecimal.
// An unreadable token logs "Error: Invalid numeric format / parameter identifier.", sets
// operandError and yields the slot holding 0.
uint8_t& ResolveOperand(CommandInterpreter& interpreter, const char* token, int position);

// A decimal parameter as the C library's strtol reads it with a 32-bit long: no check,
// leading digits only (none reads as 0), saturating at 2147483647.
int32_t ReadDecimal(const char* token);
// A token read as hexadecimal the same way; false when not a single digit could be read.
bool ReadHexadecimal(const char* token, int32_t& value);

}  // namespace kvt::cmd
