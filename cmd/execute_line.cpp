#include "cmd/execute_line.h"

#include <cstring>

#include "app/serial_ports.h"
#include "app/text_format.h"
#include "cmd/commands.h"

namespace kvt::cmd {

namespace {

using Handler = LineResult (*)(CommandInterpreter&, const char*);

struct Command {
  const char* name;
  Handler run;
};

// Looked up in this order; a command token must equal a name as a whole.
constexpr Command kCommands[] = {
    {"SR", commands::SetRegisterCommand},    {"GR", commands::GetRegisterCommand},
    {"MR", commands::ModifyRegisterCommand}, {"RE", commands::CompareRegisterCommand},
    {"RF", commands::CompareMaskedCommand},  {"CHB", commands::ChangeBitRateCommand},
    {"SLP", commands::SleepCommand},         {"WIE", commands::WaitEdgeCommand},
    {"WIL", commands::WaitLevelCommand},     {"CLL", commands::ClearLogCommand},
    {"//", commands::CommentCommand},        {"//>", commands::DisplayTextCommand},
    {"//#", commands::DisplayValueCommand},  {"JMP", commands::JumpCommand},
    {"MOV", commands::MoveCommand},          {"JNE", commands::JumpIfUnequalCommand},
    {"INC", commands::IncrementCommand},     {"DEC", commands::DecrementCommand},
    {":::", commands::LabelCommand},         {"BRK", commands::BreakCommand},
    {"SAV", commands::SaveLogCommand},
};

// Only ASCII letters change; bytes from 0x80 on end the token reading anyway.
void toUpperCase(std::string& line) {
  for (char& c : line) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

// The label of a ":::" line whose command token has just been read.
bool ReadLabelAfterCommand(CommandInterpreter& interpreter, const commands::Token& command,
                           commands::Token& label) {
  if (std::strcmp(command.data(), ":::") != 0) return false;
  ReadToken(interpreter, label);
  return true;
}

// Reads the command token of `line` after bringing the line to the case it is executed in.
void readCommandToken(CommandInterpreter& interpreter, std::string& line,
                      commands::Token& command) {
  if (const auto end = line.find('\0'); end != std::string::npos) line.resize(end);
  interpreter.line = &line;
  interpreter.operandError = 0;
  interpreter.cursor = 0;
  // The first token decides the case before anything is converted: lower-case letters are
  // separators at this point, so "//>" must stand as a token of its own.
  ReadToken(interpreter, command);
  if (std::strcmp(command.data(), "//>") != 0) toUpperCase(line);
  interpreter.cursor = 0;
  ReadToken(interpreter, command);
}

LineResult executeCommand(CommandInterpreter& interpreter, std::string& line) {
  commands::Token command;
  readCommandToken(interpreter, line, command);

  if (interpreter.searching != 0) {
    commands::Token label;
    if (ReadLabelAfterCommand(interpreter, command, label) &&
        std::strcmp(label.data(), interpreter.targetLabel.data()) == 0) {
      interpreter.searching = 0;
    }
    return LineDone;
  }

  for (const Command& entry : kCommands) {
    if (std::strcmp(command.data(), entry.name) != 0) continue;
    const LineResult result = entry.run(interpreter, entry.name);
    if (interpreter.operandError == 0) return result;
    commands::CountFailedLine(interpreter);
    return LineFailed;
  }

  if (command[0] == '\0') return LineDone;  // only separators: an empty line
  commands::Report(interpreter,
                   app::Format("ERROR: Unknown Command - \"%s\" (length = %d).", command.data(),
                               static_cast<int>(std::strlen(command.data()))));
  commands::CountFailedLine(interpreter);
  return LineFailed;
}

}  // namespace

bool ReadLabelDefinition(CommandInterpreter& interpreter, std::string& line,
                         std::array<char, kTokenSize>& label) {
  commands::Token command;
  readCommandToken(interpreter, line, command);
  return ReadLabelAfterCommand(interpreter, command, label);
}

LineResult ExecuteLine(CommandInterpreter& interpreter, std::string& line) {
  const LineResult result = executeCommand(interpreter, line);
  // Every access after a lost port fails at once; the log says once why.
  if (interpreter.context.app != nullptr) app::ReportLostPort(interpreter.context);
  return result;
}

}  // namespace kvt::cmd
