#pragma once

#include <array>
#include <string>

#include "cmd/command_interpreter.h"

// The commands of the language, one handler each. A handler reads its own parameter tokens
// from the interpreter's cursor (which stands behind the command token) and resolves operands
// from the last to the first, so each unreadable one is reported; with an unreadable operand
// it does nothing else. `name` is the command as the log shows it.
namespace kvt::cmd::commands {

using Token = std::array<char, kTokenSize>;

// Reads `count` parameter tokens, left to right; missing ones stay empty.
template <std::size_t N>
std::array<Token, N> ReadParameters(CommandInterpreter& interpreter) {
  std::array<Token, N> tokens{};
  for (Token& token : tokens) ReadToken(interpreter, token);
  return tokens;
}

// Appends one formatted line to the log of the interpreter's window.
void Report(CommandInterpreter& interpreter, const std::string& text);
void CountFailedLine(CommandInterpreter& interpreter);

// Register commands (chip access under the chip lock).
LineResult SetRegisterCommand(CommandInterpreter& interpreter, const char* name);      // SR
LineResult GetRegisterCommand(CommandInterpreter& interpreter, const char* name);      // GR
LineResult ModifyRegisterCommand(CommandInterpreter& interpreter, const char* name);   // MR
LineResult CompareRegisterCommand(CommandInterpreter& interpreter, const char* name);  // RE
LineResult CompareMaskedCommand(CommandInterpreter& interpreter, const char* name);    // RF

// The PC port and waits.
LineResult ChangeBitRateCommand(CommandInterpreter& interpreter, const char* name);  // CHB
LineResult SleepCommand(CommandInterpreter& interpreter, const char* name);          // SLP
LineResult WaitEdgeCommand(CommandInterpreter& interpreter, const char* name);       // WIE
LineResult WaitLevelCommand(CommandInterpreter& interpreter, const char* name);      // WIL

// Log, display, flow and user registers.
LineResult ClearLogCommand(CommandInterpreter& interpreter, const char* name);       // CLL
LineResult CommentCommand(CommandInterpreter& interpreter, const char* name);        // //
LineResult DisplayTextCommand(CommandInterpreter& interpreter, const char* name);    // //>
LineResult DisplayValueCommand(CommandInterpreter& interpreter, const char* name);   // //#
LineResult JumpCommand(CommandInterpreter& interpreter, const char* name);           // JMP
LineResult MoveCommand(CommandInterpreter& interpreter, const char* name);           // MOV
LineResult JumpIfUnequalCommand(CommandInterpreter& interpreter, const char* name);  // JNE
LineResult IncrementCommand(CommandInterpreter& interpreter, const char* name);      // INC
LineResult DecrementCommand(CommandInterpreter& interpreter, const char* name);      // DEC
LineResult LabelCommand(CommandInterpreter& interpreter, const char* name);          // :::
LineResult BreakCommand(CommandInterpreter& interpreter, const char* name);          // BRK
LineResult SaveLogCommand(CommandInterpreter& interpreter, const char* name);        // SAV

}  // namespace kvt::cmd::commands
