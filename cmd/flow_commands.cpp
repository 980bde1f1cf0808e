#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/log.h"
#include "app/text_format.h"
#include "cmd/commands.h"
#include "cmd/test_log_calls.h"

namespace kvt::cmd::commands {

namespace {

// Starts a label search; the caller (a script runner) rewinds and skips to the label.
LineResult jumpTo(CommandInterpreter& interpreter, const Token& label) {
  if (label[0] == '\0') {
    CountFailedLine(interpreter);
    return LineFailed;
  }
  interpreter.targetLabel = label;
  interpreter.searching = 1;
  return LineJump;
}

}  // namespace

void Report(CommandInterpreter& interpreter, const std::string& text) {
  app::AppendLog(interpreter.context, text, true);
}

void CountFailedLine(CommandInterpreter& interpreter) {
  if (interpreter.tally != nullptr) ++interpreter.tally->failedLines;
}

LineResult ClearLogCommand(CommandInterpreter& interpreter, const char*) {
  app::ClearLog(interpreter.context);
  return LineDone;
}

LineResult CommentCommand(CommandInterpreter&, const char*) { return LineDone; }

LineResult DisplayTextCommand(CommandInterpreter& interpreter, const char*) {
  // The text is everything behind the token; its first character is the separator that the
  // shown line replaces by "//< ". Built apart from the line, so any length is safe.
  const std::string& line = *interpreter.line;
  std::string shown = "//< ";
  if (interpreter.cursor + 1 < line.size()) shown.append(line, interpreter.cursor + 1);
  Report(interpreter, shown);
  if (interpreter.context.app != nullptr) CallCommentHook(*interpreter.context.app, shown);
  return LineDone;
}

LineResult DisplayValueCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<1>(interpreter);
  const uint8_t value = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  Report(interpreter, app::Format("Value = 0x%02X", value));
  return LineDone;
}

LineResult JumpCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<1>(interpreter);
  return jumpTo(interpreter, tokens[0]);
}

LineResult MoveCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<2>(interpreter);
  const uint8_t source = ResolveOperand(interpreter, tokens[1].data(), 2);
  uint8_t& destination = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  destination = source;  // a literal destination only changes its slot
  return LineDone;
}

LineResult JumpIfUnequalCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<3>(interpreter);
  const uint8_t compared = ResolveOperand(interpreter, tokens[1].data(), 2);
  const uint8_t value = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  if (value == compared) return LineDone;
  return jumpTo(interpreter, tokens[2]);
}

LineResult IncrementCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<1>(interpreter);
  uint8_t& cell = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  ++cell;
  return LineDone;
}

LineResult DecrementCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<1>(interpreter);
  uint8_t& cell = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  --cell;
  return LineDone;
}

LineResult LabelCommand(CommandInterpreter&, const char*) { return LineDone; }

LineResult BreakCommand(CommandInterpreter&, const char*) { return LineBreak; }

LineResult SaveLogCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<1>(interpreter);
  if (tokens[0][0] == '\0') {
    app::SaveLog(interpreter.context);
    return LineFailed;
  }
  app::AppState* app = interpreter.context.app;
  if (app == nullptr || app->logBuffer == nullptr) return LineFailed;
  // The named file in the working folder gets the whole log appended; nothing is reported,
  // whether or not it could be written.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  if (error) return LineFailed;
  // Joined as text: a name that starts with "/" (a token character) must not become an
  // absolute path that leaves the working folder.
  const std::string path = folder.string() + "/" + tokens[0].data() + ".txt";
  std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::app);
  if (!file) return LineFailed;
  const std::string text = app->logBuffer->text();
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  return LineFailed;
}

}  // namespace kvt::cmd::commands
