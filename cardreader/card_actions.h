#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "cardreader/card_session.h"
#include "chip/status.h"

// The steps of the card reader. Each takes the context of the dialog (window: the dialog,
// owner: the main window), reads its fields, runs one operation of the chip stack under the
// chip lock and writes one result line with the status to the dialog's log. Every step runs and
// logs whatever an earlier step did; nothing is retried. The returned status is the one in the
// line, or a failed timer setting when the step itself succeeded.
namespace kvt::cardreader {

// Timer reloads for the answer time of a step, in ticks of the 0x2A5 prescaler.
namespace reload {
constexpr uint8_t Activation = 0x03;  // Request, AnticollisionSelect
constexpr uint8_t Read = 0x32;
constexpr uint8_t Command = 0x64;  // authentication and the writes
}  // namespace reload

// Starts the chip's timer automatically with each transmission and gives it `reload` ticks.
// A refusal is logged ("Timeout Setting Errornous(Status: 0x....") and returned.
chip::Status SetStepTimer(const app::DialogContext& context, uint8_t reload);

// REQA when the request list shows entry 0, else WUPA.
chip::Status Request(const app::DialogContext& context, CardSession& session);
// A fresh anticollision and selection over all cascade levels.
chip::Status AnticollisionSelect(const app::DialogContext& context, CardSession& session);
// Request, then AnticollisionSelect whatever the request gave. Returns the first failure.
chip::Status RequestAndSelect(const app::DialogContext& context, CardSession& session);
// HLTA with a short timer (the card must stay silent), then the opening's timer again.
chip::Status Halt(const app::DialogContext& context, CardSession& session);
// Authenticates session.block with the key of field A or B and the first four serial bytes.
chip::Status Authenticate(const app::DialogContext& context, CardSession& session, bool keyB);
// Reads session.block into the HEX field. The data start zeroed: a failed read shows zeros.
chip::Status ReadBlock(const app::DialogContext& context, CardSession& session);
// Writes the 16 bytes of the HEX field (first 32 digits) to session.block.
chip::Status WriteBlock(const app::DialogContext& context, CardSession& session);
// Writes the 4 bytes of the first 8 HEX digits to page session.block of a KL card.
chip::Status WriteKlPage(const app::DialogContext& context, CardSession& session);

// The block list's selection becomes session.block (no selection keeps the block).
void SelectBlock(const app::DialogContext& context, CardSession& session);
// Cuts a key field to 12 and the HEX field to 32 characters; other ids are ignored.
void LimitField(const app::DialogContext& context, int fieldId);
// Routes SIGIN/SIGOUT to a SAM (box checked) or back (cleared); logs which.
void SetSamMode(const app::DialogContext& context);

}  // namespace kvt::cardreader
