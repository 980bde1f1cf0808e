#include "cli/line_rate.h"

#include <mutex>

#include "app/serial_ports.h"
#include "chip/register_control.h"
#include "chip/registers.h"

namespace kvt::cli {

namespace {

constexpr uint8_t kBaudIndex115200 = 2;

// One access with the chip lock held, so nothing else is on the line meanwhile.
chip::Status access(app::AppState& app, chip::RegisterParams& params, bool write) {
  std::lock_guard lock(app.chipLock);
  if (app.registerControl == nullptr) return chip::status::SerialInterface;
  return write ? app.registerControl->SetRegister(&params)
               : app.registerControl->GetRegister(&params);
}

bool answers(const app::DialogContext& context) {
  chip::RegisterParams params{chip::reg::SerialSpeed, 0, nullptr};
  const bool answered = access(*context.app, params, false) == chip::status::Success;
  // A late or garbled byte of an access at the wrong rate must not answer the next one.
  if (!answered) app::PurgePort(context);
  return answered;
}

}  // namespace

uint32_t DetectChipRate(const app::DialogContext& context) {
  if (answers(context)) return 9600;
  if (context.app->port == nullptr || context.app->port->lost()) return 0;
  app::SetHostSpeed115200(context);
  if (answers(context)) return 115200;
  app::SetHostSpeed9600(context);
  return 0;
}

chip::Status RestoreChipRate(const app::DialogContext& context, uint32_t foundRate) {
  app::AppState& app = *context.app;
  if (foundRate != 9600 || app.port == nullptr || app.baudIndex != kBaudIndex115200) return 0;
  chip::RegisterParams params{chip::reg::SerialSpeed, chip::kSerialSpeed9600, nullptr};
  const chip::Status status = access(app, params, true);
  if (status == chip::status::Success) app::SetHostSpeed9600(context);
  return status;
}

}  // namespace kvt::cli
