#include "cardreader/card_opening.h"

#include <mutex>

#include "app/log.h"
#include "app/serial_ports.h"
#include "app/text_format.h"
#include "cardreader/card_log.h"
#include "cardreader/control_ids.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "chip/registers.h"

namespace kvt::cardreader {

namespace {

using chip::Status;
namespace reg = chip::reg;

constexpr char kDefaultKey[] = "5A17C3E90B42";
constexpr char kDefaultHex[] = "00000000000000000000000000000000";
constexpr int kBlockEntries = 256;

void fillControls(platform::View& window) {
  window.clearItems(id::RequestCode);
  window.addItem(id::RequestCode, "0x26 (REQA)");
  window.addItem(id::RequestCode, "0x52 (WUPA)");
  window.selectItem(id::RequestCode, 0);

  window.clearItems(id::Block);
  for (int n = 0; n < kBlockEntries; ++n) {
    window.addItem(id::Block, app::Format(n % 3 == 0 ? "00%d" : "%d", n));
  }
  window.selectItem(id::Block, 0);

  window.setText(id::KeyA, kDefaultKey);
  window.setText(id::KeyB, kDefaultKey);
  window.setText(id::Hex, kDefaultHex);
}

// Runs the set-up steps that are checked and remembers the first refusal.
class SetUp {
 public:
  SetUp(app::AppState& app, std::ostream& diagnostics) : app_(app), diagnostics_(diagnostics) {}

  void setRegister(uint8_t address, uint8_t value) {
    chip::RegisterParams params{address, value, nullptr};
    check(app_.registerControl->SetRegister(&params));
  }
  void modifyRegister(uint8_t address, uint8_t mask, uint8_t set) {
    chip::ModifyRegisterParams params{address, mask, set, nullptr};
    check(app_.registerControl->ModifyRegister(&params));
  }
  void setAttribute(uint8_t group, uint8_t attribute, uint8_t value1, uint8_t value2) {
    chip::AttributeParams params{group, attribute, value1, value2, nullptr, nullptr};
    check(app_.operationControl->SetAttribute(&params));
  }
  Status firstFailure() const { return firstFailure_; }

 private:
  void check(Status status) {
    if (status == chip::status::Success) return;
    diagnostics_ << app::Format("*** ERROR! Status = %04x \n", status) << std::flush;
    if (firstFailure_ == chip::status::Success) firstFailure_ = status;
  }

  app::AppState& app_;
  std::ostream& diagnostics_;
  Status firstFailure_ = chip::status::Success;
};

Status setUpChip(const app::DialogContext& context, std::ostream& diagnostics) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  if (app.registerControl == nullptr || app.operationControl == nullptr) {
    return chip::status::SerialInterface;
  }
  // Soft reset; the chip answers it at the old rate and restarts at 9600 bit/s.
  chip::RegisterParams reset{reg::Command, chip::cmd::SoftReset, nullptr};
  app.registerControl->SetRegister(&reset);
  if (app.baudIndex != 0) {
    app::SetHostSpeed9600(context);
    app::SwitchAllTo115200(context);
  }
  SetUp setUp(app, diagnostics);
  setUp.setRegister(reg::TxControl, 0x80);
  setUp.setAttribute(1, 3, 0, 0);  // ISO 14443 A at 106 kbit/s both ways
  setUp.setRegister(reg::Control, 0x10);
  setUp.modifyRegister(reg::TxAsk, 0x07, 1);
  setUp.setAttribute(6, 1, 1, 0);        // the timer starts with every transmission
  setUp.setAttribute(6, 4, 0xA6, 0x02);  // prescaler
  setUp.setAttribute(6, 5, 0xE8, 0x03);  // reload
  setUp.modifyRegister(reg::Command, 0x20, 0);
  return setUp.firstFailure();
}

}  // namespace

Status OpenCardReader(const app::DialogContext& context, CardSession& session,
                      std::ostream& diagnostics) {
  app::AppState& app = *context.app;
  platform::View& window = *context.window;
  if (app.monospaceFont) {
    window.setMonospaceFont(id::LogPane);
  } else {
    app::AppendLog(context, "ERROR: Cannot create monospace font!", true);
  }
  fillControls(window);
  session.clear();
  ClearCardLog(context);
  const Status status = setUpChip(context, diagnostics);
  window.setFocus(id::Request);
  return status;
}

void CloseCardReader(const app::DialogContext& context) { ClearCardLog(context); }

}  // namespace kvt::cardreader
