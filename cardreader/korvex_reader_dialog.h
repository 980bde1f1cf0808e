#pragma once

#include <iostream>
#include <ostream>

#include "app/app_state.h"
#include "cardreader/card_session.h"
#include "chip/status.h"
#include "platform/shell.h"

namespace kvt::cardreader {

// Dialog 114 "Korvex Reader", modal: one button per card step, results in its own log pane.
// Routes every event to the card reader's actions with a context whose owner is the main
// window and whose window is the dialog.
class KorvexReaderDialog final : public platform::DialogProcedure {
 public:
  // `session` outlives the dialog; `diagnostics` receives the set-up refusals of the opening.
  KorvexReaderDialog(app::AppState& app, CardSession& session,
                     std::ostream& diagnostics = std::cerr)
      : app_(app), session_(session), diagnostics_(diagnostics) {}

  void init(platform::View& window) override;
  void command(platform::View& window, int id, int notification) override;
  void closeRequest(platform::View& window) override;

  // The status the opening's chip set-up ended with (0 when every step was accepted).
  chip::Status openingStatus() const { return openingStatus_; }

 private:
  app::DialogContext contextFor(platform::View& window, int id, int notification) const;

  app::AppState& app_;
  CardSession& session_;
  std::ostream& diagnostics_;
  chip::Status openingStatus_ = 0;
};

// Makes the main window's "&Korvex Reader" button (1045) run the dialog modally.
void InstallCardReader(app::AppState& app);

}  // namespace kvt::cardreader
