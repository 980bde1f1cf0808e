#pragma once

#include "app/run_events.h"
#include "cardreader/card_session.h"
#include "chip/status.h"
#include "cli/card_steps.h"
#include "platform/view.h"

namespace kvt::cli {

// What a card step did, for the run's listener: its name and parameters, its status, the
// card's identifier after a select and the bytes read or written. `window` is the card reader
// dialog the step ran in.
app::CardStepRecord MakeCardStepRecord(const CardStep& step, const cardreader::CardSession& session,
                                       const platform::View& window, chip::Status status);

// The identifier of the selected card from the serial bytes of its cascade levels (4, 7 or 10
// bytes, cascade tags left out), hexadecimal.
std::string SelectedUid(const cardreader::CardSession& session);

}  // namespace kvt::cli
