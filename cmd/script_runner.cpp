#include "cmd/script_runner.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "app/log.h"
#include "app/serial_ports.h"
#include "cmd/execute_line.h"
#include "cmd/label_index.h"
#include "cmd/progress_dialog.h"
#include "cmd/scf_reader.h"
#include "platform/path_parts.h"
#include "platform/wait_notice.h"

namespace kvt::cmd {

namespace {

constexpr const char* kNoFile = "NULL";

// The line as the interpreter sees it: the line end and any carriage return become the end.
void cutLineEnd(std::string& piece) {
  std::replace(piece.begin(), piece.end(), '\r', '\0');
  std::replace(piece.begin(), piece.end(), '\n', '\0');
}

std::thread startRunner(const CommandEnvironment& environment, std::function<void()> body) {
  if (environment.startThread) return environment.startThread(std::move(body));
  return std::thread(std::move(body));
}

void reportMissingLabel(const CommandInterpreter& interpreter,
                        const CommandEnvironment& environment, int32_t jumpLine) {
  if (interpreter.tally != nullptr) ++interpreter.tally->failedLines;
  if (environment.labelNotFound) {
    environment.labelNotFound(interpreter.targetLabel.data(), jumpLine);
  }
}

}  // namespace

void SelectCommandFile(const app::DialogContext& context) {
  app::AppState& app = *context.app;
  app.commandFilePath = "*.scf";
  std::optional<std::string> chosen;
  if (context.instance != nullptr) {
    chosen = context.instance->openFile(
        context.owner, platform::FileChooser{"Command File", "*.scf", "*.scf", true});
  }
  if (!chosen) {
    app.commandFilePath = kNoFile;
    if (context.owner != nullptr) context.owner->setText(app::id::OperationStatus, kNoFile);
    return;
  }
  app.commandFilePath = *chosen;
  if (context.owner != nullptr) {
    context.owner->setText(app::id::OverrideName, platform::SplitPath(*chosen).name);
    context.owner->setText(app::id::OperationStatus, app.commandFilePath);
  }
}

namespace {

// Executes the lines the reader gives, as RunScript describes.
void runLines(const app::DialogContext& context, const CommandEnvironment& environment,
              ScfReader& reader) {
  app::AppState& app = *context.app;
  CommandInterpreter interpreter(context, *environment.clock, environment.tally);
  interpreter.running = environment.keepWaiting;
  std::string piece;
  const int32_t skip = app.resumeLine;
  for (int32_t i = 0; i < skip && reader.readLine(piece); ++i) {
  }
  int32_t lineCount = skip;
  int32_t jumpLine = 0;
  LabelIndex labels;
  while (reader.readLine(piece)) {
    ++lineCount;
    if (app.scriptRunning == 0) {
      app::AppendLog(context, "User Break recognised.", true);
      break;
    }
    cutLineEnd(piece);
    const LineResult result = ExecuteLine(interpreter, piece);
    if (environment.lineDone) environment.lineDone();
    if (app::PortLost(app)) break;  // every later line would fail the same way
    if (result == LineJump) {
      jumpLine = lineCount;
      app.resumeLine = 0;
      // The search from the top of the file, done once for every label.
      labels.build(reader);
      const auto place = labels.find(interpreter.targetLabel.data());
      if (!place) break;  // searched to the end in vain
      interpreter.searching = 0;
      reader.seek(place->next);
      lineCount = place->line;
    } else if (result == LineBreak) {
      app.resumeLine = lineCount;
      break;
    } else {
      app.resumeLine = 0;
    }
  }
  // The whole file was searched in vain (not a Break during the search): the run ends here, as
  // it always has, but a caller that judges the run must know.
  if (interpreter.searching != 0 && app.scriptRunning != 0) {
    reportMissingLabel(interpreter, environment, jumpLine);
  }
}

void logProcessing(const app::DialogContext& context) {
  app::AppendLog(context, "Processing ", false);
  app::AppendLog(context, context.app->commandFilePath, true);
}

}  // namespace

void RunScript(const app::DialogContext& context, const CommandEnvironment& environment) {
  app::AppState& app = *context.app;
  logProcessing(context);
  ScfReader reader;
  if (reader.open(app.commandFilePath)) {
    runLines(context, environment, reader);
  } else {
    app::AppendLog(context, "Error. Could not read file.", true);
  }
  app.scriptRunning = 0;
  platform::NoticeWait();  // the program now waits for its user: what the run wrote goes out
}

void RunScriptText(const app::DialogContext& context, const CommandEnvironment& environment,
                   std::string text) {
  logProcessing(context);
  ScfReader reader;
  reader.openText(std::move(text));
  runLines(context, environment, reader);
  context.app->scriptRunning = 0;
  platform::NoticeWait();
}

void ProcessCommandFile(const app::DialogContext& context, const CommandEnvironment& environment) {
  app::AppState& app = *context.app;
  if (app.commandFilePath == kNoFile) {
    SelectCommandFile(context);
    if (app.commandFilePath == kNoFile) return;
  }
  if (!CanRead(app.commandFilePath)) {
    app::AppendLog(context, "Error: Cannot process SCF (not found).", true);
    return;
  }
  // A run that ended before is joined here if its ScriptEnded has not been handled yet.
  if (app.runnerThread.joinable()) app.runnerThread.join();

  auto meeting = std::make_shared<RunMeeting>(app);
  app.scriptRunning = 1;
  try {
    app.runnerThread = startRunner(environment, [context, environment, meeting] {
      RunScript(context, environment);
      meeting->runEnded();
    });
  } catch (const std::exception&) {
    app.scriptRunning = 0;  // no run exists, so none may seem to be going on
    return;
  }
  platform::Shell* shell = context.instance;
  if (shell == nullptr) return;
  // A run that has already ended needs no dialog; one that ends while the dialog comes up
  // closes it from its initialisation.
  if (!meeting->ended()) {
    ProgressDialog dialog(app, meeting);
    shell->runModal(id::ProgressDialog, context.owner, dialog);
    meeting->dialogGone();
  }
  if (context.owner != nullptr) shell->postCommand(context.owner, app::id::ScriptEnded);
}

}  // namespace kvt::cmd
