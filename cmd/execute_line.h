#pragma once

#include <string>

#include "cmd/command_interpreter.h"

namespace kvt::cmd {

// Executes one line of the command language on `interpreter` and reports it in the log. The
// line is a zero-terminated text: anything from its first NUL on is dropped. It is changed in
// place: upper-cased, unless its first token is "//>" (a displayed message keeps its case).
// While a jump searches its label, every line but the matching "::: label" is skipped.
LineResult ExecuteLine(CommandInterpreter& interpreter, std::string& line);

// The label a "::: label" line defines, read as a searching ExecuteLine reads it (the line
// upper-cased, its first token ":::"); false for any other line. Changes `line` as ExecuteLine
// does. `interpreter` only lends its cursor.
bool ReadLabelDefinition(CommandInterpreter& interpreter, std::string& line,
                         std::array<char, kTokenSize>& label);

}  // namespace kvt::cmd
