#include "app/text_format.h"
#include "cardreader/card_session.h"
#include "cardreader/control_ids.h"
#include "cli/card_image_command.h"
#include "cli/card_steps.h"
#include "cli/headless_dialog_view.h"
#include "cli/session.h"
#include "cli/stop_signals.h"
#include "cli/subcommands.h"

namespace kvt::cli {

namespace {

std::string checkCard(const std::vector<std::string>& arguments) {
  if (IsCardImageAction(arguments)) return CheckCardImageAction(arguments);
  std::string error;
  return ParseCardSteps(arguments, error) ? std::string() : error;
}

// Opens the card reader on the open port, runs the steps and leaves the lines in the log, so
// --log keeps them. Under --strict a refused set-up or any step with a status other than 0
// fails the run.
int card(Session& session, const std::vector<std::string>& arguments) {
  if (IsCardImageAction(arguments)) return RunCardImageAction(session, arguments);
  std::string error;
  const auto steps = ParseCardSteps(arguments, error);
  if (!steps) {
    session.err() << "kvt-cli: " << error << "\nTry 'kvt-cli --help'.\n";
    return 2;
  }
  app::AppState& app = session.state();
  app.monospaceFont = true;  // a console shows every pane in a fixed-pitch font
  // The dialog prints through the main window's stream, so each line reaches it once.
  HeadlessDialogView dialog(session.window(), cardreader::id::LogPane);
  cardreader::CardSession cardSession;
  const CardRunResult result = RunCardSteps(app, dialog, cardSession, *steps, session.err(),
                                            session.options().strict, StopSignals::requested);
  session.countCardFailures(result.failedSteps + (result.openingStatus != 0 ? 1 : 0));
  if (result.failedSteps > 0) session.describeStatus(result.firstFailure);
  if (result.stopped) {
    ++session.tally().failedLines;
    session.err() << "kvt-cli: the card steps were interrupted; the " << result.skippedSteps
                  << " later step" << (result.skippedSteps == 1 ? " was" : "s were")
                  << " not run\n";
  } else if (result.skippedSteps > 0) {
    session.err() << "kvt-cli: card step " << result.firstFailedStep + 1 << " failed (status "
                  << app::Format("%04X", result.firstFailure) << "); the " << result.skippedSteps
                  << " later step" << (result.skippedSteps == 1 ? " was" : "s were")
                  << " skipped (--strict)\n";
  }
  return 0;
}

}  // namespace

constinit const Subcommand kCardCommand{
    "card",
    "STEP... | dump FILE [KEY] | restore FILE [KEY]",
    "run card reader steps in order: request [wupa], select,\n"
    "                      activate [wupa], halt, auth a|b [KEY], read, write HEX32,\n"
    "                      writekl HEX8, block N, sam on|off; or copy a 1K card to\n"
    "                      FILE (1024 bytes) or FILE back to the card (data blocks; with\n"
    "                      --trailers also the trailers), each sector opened with key\n"
    "                      A = KEY (default 5A17C3E90B42)",
    true,
    checkCard,
    card};

}  // namespace kvt::cli
