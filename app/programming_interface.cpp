#include "app/programming_interface.h"

#include <array>
#include <mutex>

#include "app/control_ids.h"
#include "app/log.h"
#include "app/serial_ports.h"
#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "platform/profile.h"

namespace kvt::app {

namespace {

constexpr int kKorvexReaderItem = 50500;
constexpr int kSampleAction2 = 50501;
constexpr int kSampleAction1 = 50502;

// Answers of the component operations during one action run.
using WorkBuffer = std::array<uint8_t, 64>;

// Shows how the stack is driven directly: register access, an attribute, and a full type A
// activation with halt. Statuses are not examined; each step runs whatever the one before did.
void sampleAction2(AppState& app, WorkBuffer& work) {
  chip::RegisterParams reg{chip::reg::Command, 0, nullptr};
  app.registerControl->GetRegister(&reg);
  reg.value = static_cast<uint8_t>((reg.value & 0x02) | 0x0D);
  app.registerControl->SetRegister(&reg);

  uint8_t attributeBytes[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
  chip::AttributeParams attribute{0x08, 0x09, 0x00, 0x06, attributeBytes, nullptr};
  app.operationControl->SetAttribute(&attribute);

  chip::RequestParams request{chip::iso14443::Wupa, work.data(), nullptr};
  app.iso14443A->RequestA(&request);
  chip::AnticollisionParams anticollision{
      chip::iso14443::SelectLevel1, work.data() + 2, 0, 0, 0, nullptr};
  app.iso14443A->AnticollisionSelect(&anticollision);
  chip::AnticollisionParams select{
      chip::iso14443::SelectLevel1, work.data() + 2, 0x20, 0, 0, nullptr};
  app.iso14443A->Select(&select);
  chip::HaltParams halt{nullptr, 0, nullptr};
  app.iso14443A->HaltA(&halt);
}

// Reads block 5 of a Korvex card into the work buffer.
void sampleAction1(AppState& app, WorkBuffer& work) {
  chip::KorvexCommandParams read{chip::korvex::Read, 0x05, work.data(), 0, 0, nullptr};
  app.korvexReader->KorvexCommand(&read);
}

}  // namespace

void FillPiMenu(const DialogContext& context) {
  AddPiMenuItem(context, kKorvexReaderItem, "Korvex Reader");
  AddPiMenuItem(context, kSampleAction2, "Action &2");
  AddPiMenuItem(context, kSampleAction1, "Action &3");
}

void AddPiMenuItem(const DialogContext& context, int id, std::string_view text) {
  auto& menu = context.app->piMenu;
  menu.insert(menu.begin(), platform::MenuItem{id, std::string(text)});
}

void ShowPiMenu(const DialogContext& context) {
  AppState& app = *context.app;
  if (app.instance == nullptr || app.piMenu.empty()) return;
  const int chosen = app.instance->popupMenu(app.mainWindow, id::PiButton, app.piMenu);
  if (chosen != 0) app.instance->postCommand(app.mainWindow, chosen);
}

void RunPiAction(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  if (app.port == nullptr) {
    AppendLog(context, "Error: Cannot perform user action with closed RS 232 port.", true);
    return;
  }
  PurgePort(context);
  WorkBuffer work{};
  switch (context.commandId()) {
    case kSampleAction2:
      AppendLog(context, "Sample Action 2", true);
      sampleAction2(app, work);
      break;
    case kSampleAction1:
      AppendLog(context, "Sample Action 1", true);
      sampleAction1(app, work);
      break;
    default:
      AppendLog(context, "Unknown Command Recognised by Programming Interface.", true);
      break;
  }
}

bool WriteProfileInteger(std::string_view section, std::string_view key, int value,
                         const std::string& file) {
  return platform::WritePrivateProfileString(section, key, std::to_string(value), file);
}

}  // namespace kvt::app
