#pragma once

#include <string>

#include "app/app_state.h"
#include "cmd/command_services.h"

// Command files: choosing one, running it on a thread of its own with the "Processing..."
// dialog, and the runner itself.
namespace kvt::cmd {

// "&Select SCF": the open-file dialog for "*.scf". Cancelled: commandFilePath becomes "NULL"
// and the Operation Status line shows it; chosen: the path is kept and shown, its name goes
// into the "Override &Name" edit.
void SelectCommandFile(const app::DialogContext& context);

// "Process &SCF": asks for a file if none is chosen, then runs it on the runner thread while
// the "Processing..." dialog shows; the dialog closes when the run ends and the main window is
// sent ScriptEnded to join the thread. A missing file logs "Error: Cannot process SCF (not
// found)." and starts nothing; a thread that cannot be made leaves scriptRunning at 0.
void ProcessCommandFile(const app::DialogContext& context, const CommandEnvironment& environment);

// The run itself, on the calling thread: logs "Processing " and the path, executes the lines
// of commandFilePath on a fresh interpreter (skipping resumeLine lines first), rewinds on a
// jump, stops after BRK (remembering where in resumeLine) or before the next line once
// scriptRunning is 0 ("User Break recognised."). Ends with scriptRunning at 0.
void RunScript(const app::DialogContext& context, const CommandEnvironment& environment);
// The same run over `text`, a command file already read (standard input); the log names
// commandFilePath as the file.
void RunScriptText(const app::DialogContext& context, const CommandEnvironment& environment,
                   std::string text);

}  // namespace kvt::cmd
