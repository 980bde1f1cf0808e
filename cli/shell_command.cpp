#include <unistd.h>

#include <cctype>
#include <iostream>
#include <sstream>

#include "app/control_ids.h"
#include "cli/command_line.h"
#include "cli/line_editor.h"
#include "cli/session.h"
#include "cli/shell_history.h"
#include "cli/shell_interrupt.h"
#include "cli/subcommands.h"
#include "cmd/command_reference.h"
#include "cmd/execute_line.h"
#include "platform/wait_notice.h"

namespace kvt::cli {

namespace {

constexpr std::size_t kHistoryLength = 16;  // the command line's history

constexpr const char* kShellNote =
    "kvt-cli shell: user registers (IOR, IOE, ML0..ML7) keep their values from line to line\n"
    "for the whole session (each exec line starts fresh). Up/Down browse the last commands,\n"
    "Tab completes, Ctrl-C clears the line or ends a wait, Ctrl-D, exit or quit ends.\n";

std::string checkShell(const std::vector<std::string>& arguments) {
  return arguments.empty() ? std::string() : "shell takes no arguments";
}

// What Tab completes: command names and user registers.
std::vector<std::string> completionWords() {
  std::vector<std::string> words = cmd::CommandNames();
  for (const char* name : {"IOR", "IOE", "ML0", "ML1", "ML2", "ML3", "ML4", "ML5", "ML6", "ML7"}) {
    words.emplace_back(name);
  }
  return words;
}

// The shell's own words: help [COMMAND], exit, quit. True when `line` was one (`done` set by
// exit and quit).
bool shellWord(Session& session, const std::string& line, bool& done) {
  std::istringstream words(line);
  std::string word;
  std::string argument;
  std::string extra;
  words >> word >> argument >> extra;
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!extra.empty()) return false;
  if ((word == "exit" || word == "quit") && argument.empty()) {
    done = true;
    return true;
  }
  if (word != "help") return false;
  if (argument.empty()) {
    cmd::PrintCommandReference(session.context());
    session.err() << kShellNote;
  } else if (!cmd::PrintCommandEntry(session.context(), argument)) {
    session.err() << "kvt-cli: no command " << argument << " in the command reference\n";
  }
  return true;
}

// The command line, interactively: every line read is entered as on the main window, with its
// history of 16 commands behind Up and Down, kept between sessions on a terminal. One
// interpreter serves the whole session, so user registers keep their values.
int shell(Session& session, const std::vector<std::string>&) {
  app::AppState& state = session.state();
  const bool terminal = &session.in() == &std::cin && isatty(STDIN_FILENO) != 0;
  const std::string historyPath = terminal ? ShellHistoryPath() : std::string();
  if (!historyPath.empty()) state.commandHistory = LoadShellHistory(historyPath, kHistoryLength);

  const cmd::CommandEnvironment& environment = session.environment();
  cmd::CommandInterpreter interpreter(session.context(), *environment.clock, environment.tally);
  interpreter.running = &state.scriptRunning;
  state.services.executeLine = [&interpreter](const app::DialogContext& context,
                                              std::string& line) {
    interpreter.context = context;
    interpreter.searching = 0;  // a jump has no file to search in
    const cmd::LineResult result = cmd::ExecuteLine(interpreter, line);
    platform::NoticeWait();  // the next line comes from the user, who may look at the files
    return static_cast<int>(result);
  };

  ShellInterrupt interrupt(&state.scriptRunning);
  LineEditor editor(
      session.in(), terminal,
      [&session](platform::Key key) { return BrowseCommandLine(session, key); }, completionWords);
  if (editor.editing()) session.err() << kShellNote;
  std::string line;
  bool interrupted = false;
  bool done = false;
  while (!done && editor.read(line, interrupted)) {
    if (interrupted) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (shellWord(session, line, done)) continue;
    state.scriptRunning = 1;  // Ctrl-C clears it: a wait of the line ends
    // A Ctrl-C typed right after Enter, before the line began, is meant for this line.
    if (ShellInterrupt::pending()) state.scriptRunning = 0;
    EnterCommandLine(session, line);
    state.scriptRunning = 0;
    // A Ctrl-C during the line is spent on it; the terminal showed ^C where the prompt starts.
    if (ShellInterrupt::take() && editor.editing()) session.err() << "\n";
    // A line that failed stays on the command line for correction.
    editor.prefill(session.window().text(app::id::CommandLine));
    session.window().setText(app::id::CommandLine, "");
    if (!historyPath.empty()) SaveShellHistory(historyPath, state.commandHistory);
  }
  return 0;
}

}  // namespace

constinit const Subcommand kShellCommand{
    "shell", "",         "an interactive command line; user registers live for the session",
    true,    checkShell, shell};

}  // namespace kvt::cli
