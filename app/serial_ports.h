#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "platform/view.h"

// The PC side of the RS-232 link: opening and closing the port, the host speed, the switch of
// chip and PC to 115200 bit/s together, and the open and closed states of the main window.
// Every operation that touches the port holds AppState::chipLock.
namespace kvt::app {

// Opens portNames[portIndex] at 9600 bit/s, discards what its buffers hold and hands it to the
// SerialBus. On failure logs
// "Error opening port - Check and verify (!) settings." and leaves the window as it was.
void OpenPort(const DialogContext& context);
// Closes the port (if open); the SerialBus is left without a port, so a register access
// while closed fails with a status and reaches no device.
void ClosePort(const DialogContext& context);
// 8N1, no flow control, DTR and RTS off, at `rate`. False when the port refused the rate (or
// none is open). Callers examine nothing; the command language's host speed command uses it.
bool SetLineSettings(const DialogContext& context, uint32_t rate);
// PC side only; nothing is sent to the chip.
void SetHostSpeed9600(const DialogContext& context);
void SetHostSpeed115200(const DialogContext& context);
// Writes 0x79 to the chip's serial speed register at the current rate; on success moves the
// PC to 115200, on failure logs the status and keeps the host speed.
void SwitchAllTo115200(const DialogContext& context);
// Drops whatever is buffered on the port in both directions.
void PurgePort(const DialogContext& context);

// True when the open port has vanished (USB adapter unplugged, kvt-sim stopped): every
// transfer fails at once and no wait should go on.
bool PortLost(AppState& app);
// As PortLost; the first call after the loss also logs which port was lost, once.
bool ReportLostPort(const DialogContext& context);

// Enables and greys the main window's controls and menu items for an open or a closed port.
void ShowPortState(platform::View& mainWindow, bool open);

}  // namespace kvt::app
