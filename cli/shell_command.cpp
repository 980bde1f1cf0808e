#include <unistd.h>

#include <iostream>

#include "cli/command_line.h"
#include "cli/line_editor.h"
#include "cli/session.h"
#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

std::string checkShell(const std::vector<std::string>& arguments) {
  return arguments.empty() ? std::string() : "shell takes no arguments";
}

// The command line, interactively: every line read is entered as on the main window, with its
// history of 16 commands behind Up and Down. The end of the input (Ctrl-D) ends the shell.
int shell(Session& session, const std::vector<std::string>&) {
  const bool terminal = &session.in() == &std::cin && isatty(STDIN_FILENO) != 0;
  LineEditor editor(session.in(), terminal,
                    [&session](platform::Key key) { return BrowseCommandLine(session, key); });
  if (editor.editing()) {
    session.err() << "kvt-cli shell: Up/Down browse the last commands, Ctrl-D ends.\n";
  }
  std::string line;
  while (editor.read(line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EnterCommandLine(session, line);
  }
  return 0;
}

}  // namespace

constinit const Subcommand kShellCommand{
    "shell", "", "an interactive command line with its history", true, checkShell, shell};

}  // namespace kvt::cli
