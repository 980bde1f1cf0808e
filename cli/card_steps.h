#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "cardreader/card_session.h"
#include "chip/status.h"
#include "platform/view.h"

// The card reader's steps as words on a command line, for a console front end:
//
//   request [wupa]    REQA (or WUPA)                 select        AnticollisionSelect
//   activate [wupa]   request, then select           halt          HLTA
//   auth a|b [KEY]    authenticate the chosen block with key A or B (12 hex digits; without
//                     KEY the key field's current value, at first 5A17C3E90B42)
//   read              read the chosen block          write HEX32   write 16 bytes
//   writekl HEX8      write a 4-byte KL page         block N       choose block N (0..255)
//   sam on|off        route SIGIN/SIGOUT to a SAM, or back
namespace kvt::cli {

struct CardStep {
  enum class Kind {
    Request,
    Select,
    Activate,
    Halt,
    Authenticate,
    Read,
    Write,
    WriteKl,
    Block,
    Sam
  };
  Kind kind = Kind::Request;
  bool wakeUp = false;  // request, activate: WUPA instead of REQA
  bool keyB = false;    // auth
  std::string hex;      // auth: the key (empty: keep the field); write, writekl: the data
  uint8_t block = 0;    // block
  bool on = false;      // sam
};

// Reads the steps from `words`. Keywords are case-insensitive; keys and data must have exactly
// their number of hex digits. nullopt, with a readable `error`, for anything else.
std::optional<std::vector<CardStep>> ParseCardSteps(std::span<const std::string> words,
                                                    std::string& error);

struct CardRunResult {
  chip::Status openingStatus = 0;  // first refusal of the chip set-up, 0 when none
  int failedSteps = 0;             // steps whose status was not 0
  int firstFailedStep = -1;        // index of the first of them, -1 when none failed
  chip::Status firstFailure = 0;   // and its status
  int skippedSteps = 0;            // steps not run after a failure (stopAtFailure) or a stop
  bool stopped = false;            // `stop` ended the steps
};

// Runs the dialog's opening on `window`, then `steps` in order, as the buttons would; every
// step writes its line to the log, shown in the window's log pane. With `stopAtFailure` the
// steps after the first failing one are not run; once `stop` (may be empty) is true, no
// further step is. The dialog stays open (the log keeps its lines); CloseCardReader ends it.
// Set-up refusals go to `diagnostics`.
CardRunResult RunCardSteps(app::AppState& app, platform::View& window,
                           cardreader::CardSession& session, std::span<const CardStep> steps,
                           std::ostream& diagnostics, bool stopAtFailure = false,
                           const std::function<bool()>& stop = {});

}  // namespace kvt::cli
