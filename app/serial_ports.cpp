#include "app/serial_ports.h"

#include <mutex>

#include "app/control_ids.h"
#include "app/log.h"
#include "app/port_opener.h"
#include "app/text_format.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"

namespace kvt::app {

namespace {

constexpr uint8_t kBaud9600 = 0;
constexpr uint8_t kBaud115200 = 2;

void showHostSpeed(const DialogContext& context) {
  if (context.owner == nullptr) return;
  context.owner->setText(id::HostSpeed, context.app->baudNames[context.app->baudIndex]);
}

// Drops the open port; the bus must never keep a pointer to a closed port.
void releasePort(AppState& app) {
  if (app.serialBusObject != nullptr) app.serialBusObject->setPort(nullptr);
  app.port = nullptr;
  app.openPort.reset();
}

void setHostSpeed(const DialogContext& context, uint8_t baudIndex, uint32_t rate) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  app.baudIndex = baudIndex;
  showHostSpeed(context);
  SetLineSettings(context, rate);
}

}  // namespace

void ShowPortState(platform::View& window, bool open) {
  for (int item : {id::MenuClose, id::MenuAccessRegister, id::MenuProcessCommandFile,
                   id::MenuHost9600, id::MenuHost115200, id::CloseButton, id::AllTo115k,
                   id::SelectScf, id::ProcessScf, id::RegisterIo, id::PiButton, id::DumpRegister,
                   id::KorvexReader, id::Process, id::OverrideName, id::CommandLine}) {
    window.enable(item, open);
  }
  for (int item : {id::MenuOpen, id::MenuSettings, id::OpenButton}) window.enable(item, !open);
}

void OpenPort(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  // The window offers Open only while closed; a repeated request keeps the open port.
  if (app.port != nullptr) return;
  PortOpener::Opened opened;
  if (app.portOpener != nullptr) opened = app.portOpener->open(app.portNames[app.portIndex]);
  if (opened.port == nullptr) {
    AppendLog(context, "Error opening port - Check and verify (!) settings.", true);
    return;
  }
  app.openPort = std::move(opened.port);
  app.port = app.openPort.get();
  app.portLossLogged = false;
  app.baudIndex = kBaud9600;
  showHostSpeed(context);
  SetLineSettings(context, 9600);
  // No time-out step follows: every SerialPort already waits at most 500 ms for a byte and has
  // no write time-out, from the moment it is opened.
  // A byte left in the receive buffer (line noise, the answer to a program that ended in the
  // middle of an access) would be taken as the answer to the first read and shift every later
  // answer by one.
  app.port->purge();
  if (app.serialBusObject != nullptr) app.serialBusObject->setPort(app.port);
  if (context.owner != nullptr) {
    ShowPortState(*context.owner, true);
    context.owner->setFocus(id::CloseButton);
    context.owner->setText(id::OpenClosed, "O");
  }
}

void ClosePort(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  releasePort(app);
  if (context.owner != nullptr) {
    ShowPortState(*context.owner, false);
    context.owner->setFocus(id::OpenButton);
    context.owner->setText(id::OpenClosed, "C");
  }
  app.baudIndex = kBaud9600;
  showHostSpeed(context);
}

bool SetLineSettings(const DialogContext& context, uint32_t rate) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  return app.port != nullptr && app.port->setLineSettings(rate);
}

void SetHostSpeed9600(const DialogContext& context) { setHostSpeed(context, kBaud9600, 9600); }

void SetHostSpeed115200(const DialogContext& context) {
  setHostSpeed(context, kBaud115200, 115200);
}

void SwitchAllTo115200(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  chip::RegisterParams params{chip::reg::SerialSpeed, chip::kSerialSpeed115200, nullptr};
  const chip::Status status = app.registerControl != nullptr
                                  ? app.registerControl->SetRegister(&params)
                                  : chip::status::SerialInterface;
  if (status != chip::status::Success) {
    AppendLog(context,
              Format("Error: STKSTATUS 0x%04X attempting to change Sarvel config!", status), true);
    return;
  }
  app.baudIndex = kBaud115200;
  showHostSpeed(context);
  SetLineSettings(context, 115200);
}

void PurgePort(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  if (app.port != nullptr) app.port->purge();
}

bool PortLost(AppState& app) {
  std::lock_guard lock(app.chipLock);
  return app.port != nullptr && app.port->lost();
}

bool ReportLostPort(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  if (app.port == nullptr || !app.port->lost()) return false;
  if (!app.portLossLogged) {
    app.portLossLogged = true;
    const std::string& name = app.portNames[app.portIndex];
    const std::string device = app.portOpener != nullptr ? app.portOpener->describe(name) : "";
    AppendLog(context,
              "Error: Port " + name + (device.empty() ? "" : " (" + device + ")") +
                  " lost - Check the cable, the adapter or the simulator.",
              true);
  }
  return true;
}

}  // namespace kvt::app
