#pragma once

#include <ostream>

#include "app/app_state.h"
#include "cardreader/card_session.h"
#include "chip/status.h"

namespace kvt::cardreader {

// The dialog's opening: fills the request and block lists and the key and HEX fields with
// their defaults, clears the session and the log, then resets the chip and sets it up for
// type A reading. A host at 115200 bit/s is brought back to 9600 after the reset (the chip
// restarts at 9600) and then chip and host go to 115200 together.
//
// A refused set-up step does not stop the set-up; it is reported on `diagnostics`
// ("*** ERROR! Status = 0101 "), not in the log. Returns the first refusal, 0 when none.
chip::Status OpenCardReader(const app::DialogContext& context, CardSession& session,
                            std::ostream& diagnostics);
// Empties the log and the dialog's pane. The chip keeps its set-up.
void CloseCardReader(const app::DialogContext& context);

}  // namespace kvt::cardreader
