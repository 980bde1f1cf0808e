#include "cardreader/card_actions.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "cardreader/card_lines.h"
#include "cardreader/card_log.h"
#include "cardreader/control_ids.h"
#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/operation_control.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "platform/hex_text.h"

namespace kvt::cardreader {

namespace {

using chip::Status;

constexpr std::size_t kKeyDigits = 12;
constexpr std::size_t kHexDigits = 32;
constexpr std::size_t kPageDigits = 8;

// Timer attributes: group 6, attribute 0 sets mode, prescaler and reload at once; attribute 5
// only the reload.
constexpr uint8_t kTimerGroup = 6;
constexpr uint8_t kTimerAll = 0;
constexpr uint8_t kTimerReload = 5;
constexpr uint8_t kPrescalerLow = 0xA5;
constexpr uint8_t kPrescalerHigh = 0x02;
// Halt: the card must stay silent, so a short wait is enough; afterwards the opening's reload.
constexpr uint8_t kHaltReload = 0x32;
constexpr uint8_t kOpeningReloadLow = 0xE8;
constexpr uint8_t kOpeningReloadHigh = 0x03;

// No stack wired (never in the program): the step fails like a dead line.
constexpr Status kNoStack = chip::status::SerialInterface;

std::recursive_mutex& chipLock(const app::DialogContext& context) { return context.app->chipLock; }

Status setTimerReload(app::AppState& app, uint8_t low, uint8_t high) {
  if (app.operationControl == nullptr) return kNoStack;
  chip::AttributeParams params{kTimerGroup, kTimerReload, low, high, nullptr, nullptr};
  return app.operationControl->SetAttribute(&params);
}

// The first `digits` characters of a field (longer text is never read).
std::string fieldDigits(const app::DialogContext& context, int fieldId, std::size_t digits) {
  return context.window->text(fieldId).substr(0, digits);
}

// What a step reports: its own status, or the timer's refusal when the step itself went well.
Status stepResult(Status timer, Status step) {
  return step != chip::status::Success ? step : timer;
}

Status korvexCommand(app::AppState& app, chip::KorvexCommandParams& params) {
  return app.korvexReader != nullptr ? app.korvexReader->KorvexCommand(&params) : kNoStack;
}

// Sends the data of the HEX field with `command`; the line shows what was sent.
template <std::size_t N>
Status writeFromHexField(const app::DialogContext& context, CardSession& session, uint8_t command,
                         std::string (*line)(uint8_t, std::span<const uint8_t, N>, Status)) {
  std::lock_guard lock(chipLock(context));
  const Status timer = SetStepTimer(context, reload::Command);
  std::array<uint8_t, N> data{};
  platform::HexTextToBytes(fieldDigits(context, id::Hex, 2 * N), data);
  chip::KorvexCommandParams params{command, session.block, data.data(), static_cast<uint8_t>(N),
                                   0,       nullptr};
  const Status status = korvexCommand(*context.app, params);
  AppendCardLog(context, line(session.block, data, status));
  return stepResult(timer, status);
}

void setRegister(app::AppState& app, uint8_t address, uint8_t value) {
  chip::RegisterParams params{address, value, nullptr};
  app.registerControl->SetRegister(&params);
}

// The register's value, or nothing when the read failed.
std::optional<uint8_t> getRegister(app::AppState& app, uint8_t address) {
  chip::RegisterParams params{address, 0, nullptr};
  if (app.registerControl->GetRegister(&params) != chip::status::Success) return std::nullopt;
  return params.value;
}

}  // namespace

Status SetStepTimer(const app::DialogContext& context, uint8_t reload) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  uint8_t timer[] = {kPrescalerLow, kPrescalerHigh, reload, 0x00};
  // Automatic start with every transmission, no automatic restart.
  chip::AttributeParams params{kTimerGroup, kTimerAll, 1, 0, timer, nullptr};
  const Status status =
      app.operationControl != nullptr ? app.operationControl->SetAttribute(&params) : kNoStack;
  if (status != chip::status::Success) AppendCardLog(context, TimerErrorLine(status));
  return status;
}

Status Request(const app::DialogContext& context, CardSession& session) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  const Status timer = SetStepTimer(context, reload::Activation);
  const uint8_t code = context.window->selectedItem(id::RequestCode) == 0 ? chip::iso14443::Reqa
                                                                          : chip::iso14443::Wupa;
  chip::RequestParams params{code, session.atqa.data(), nullptr};
  const Status status = app.iso14443A != nullptr ? app.iso14443A->RequestA(&params) : kNoStack;
  AppendCardLog(context, RequestLine(code, session.atqa, status));
  return stepResult(timer, status);
}

Status AnticollisionSelect(const app::DialogContext& context, CardSession& session) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  const Status timer = SetStepTimer(context, reload::Activation);
  chip::AnticollisionParams params{
      chip::iso14443::SelectLevel1, session.serial.data(), 0, 0, 0, nullptr};
  const Status status =
      app.iso14443A != nullptr ? app.iso14443A->AnticollisionSelect(&params) : kNoStack;
  session.sak = params.sak;
  AppendCardLog(context,
                AnticollisionSelectLine(params.knownBits, session.sak, session.serial, status));
  return stepResult(timer, status);
}

Status RequestAndSelect(const app::DialogContext& context, CardSession& session) {
  std::lock_guard lock(chipLock(context));
  const Status request = Request(context, session);
  const Status select = AnticollisionSelect(context, session);
  return request != chip::status::Success ? request : select;
}

Status Halt(const app::DialogContext& context, CardSession&) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  // Neither timer change is examined: the halt's own status tells what happened.
  setTimerReload(app, kHaltReload, 0x00);
  chip::HaltParams params{nullptr, 0, nullptr};
  const Status status = app.iso14443A != nullptr ? app.iso14443A->HaltA(&params) : kNoStack;
  AppendCardLog(context, HaltLine(status));
  setTimerReload(app, kOpeningReloadLow, kOpeningReloadHigh);
  return status;
}

Status Authenticate(const app::DialogContext& context, CardSession& session, bool keyB) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  const Status timer = SetStepTimer(context, reload::Command);
  // Key, then the serial number as received in cascade level 1.
  std::array<uint8_t, 10> data{};
  const std::span<uint8_t, 6> key(data.data(), 6);
  platform::HexTextToBytes(fieldDigits(context, keyB ? id::KeyB : id::KeyA, kKeyDigits), key);
  std::copy_n(session.serial.begin(), 4, data.begin() + 6);
  chip::KorvexCommandParams params{
      keyB ? chip::korvex::AuthenticateKeyB : chip::korvex::AuthenticateKeyA,
      session.block,
      data.data(),
      static_cast<uint8_t>(data.size()),
      0,
      nullptr};
  const Status status = korvexCommand(app, params);
  AppendCardLog(context, AuthenticationLine(keyB, session.block, key, status));
  return stepResult(timer, status);
}

Status ReadBlock(const app::DialogContext& context, CardSession& session) {
  app::AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  const Status timer = SetStepTimer(context, reload::Read);
  // Zeroed, so a failed or short read never shows bytes of an earlier step.
  std::array<uint8_t, 16> data{};
  chip::KorvexCommandParams params{chip::korvex::Read, session.block, data.data(), 0, 0, nullptr};
  const Status status = korvexCommand(app, params);
  AppendCardLog(context, ReadLine(session.block, data, status));
  context.window->setText(id::Hex, platform::BytesToHex(data));
  return stepResult(timer, status);
}

Status WriteBlock(const app::DialogContext& context, CardSession& session) {
  return writeFromHexField<16>(context, session, chip::korvex::Write, &WriteLine);
}

Status WriteKlPage(const app::DialogContext& context, CardSession& session) {
  return writeFromHexField<kPageDigits / 2>(context, session, chip::korvex::WritePage,
                                            &WriteKlLine);
}

void SelectBlock(const app::DialogContext& context, CardSession& session) {
  const int index = context.window->selectedItem(id::Block);
  if (index >= 0 && index <= 0xFF) session.block = static_cast<uint8_t>(index);
}

void LimitField(const app::DialogContext& context, int fieldId) {
  std::size_t limit = 0;
  if (fieldId == id::KeyA || fieldId == id::KeyB) limit = kKeyDigits;
  if (fieldId == id::Hex) limit = kHexDigits;
  if (limit == 0) return;
  const std::string text = context.window->text(fieldId);
  if (text.size() > limit) context.window->setText(fieldId, text.substr(0, limit));
}

void SetSamMode(const app::DialogContext& context) {
  app::AppState& app = *context.app;
  const bool on = context.window->checked(id::SamMode);
  std::lock_guard lock(app.chipLock);
  AppendCardLog(context, on ? kEnablingSamMode : kDisablingSamMode);
  if (app.registerControl == nullptr) return;
  // The routing registers are read before they are written (the chip sees the same traffic
  // as ever) but their values are not needed. No write is refused because of an earlier one,
  // except that bit 0x20 of the SAM register is cleared only in a value that could be read.
  namespace reg = chip::reg;
  getRegister(app, reg::SignalRouting1);
  setRegister(app, reg::SignalRouting1, on ? 0x0D : 0x10);
  getRegister(app, reg::SignalRouting2);
  setRegister(app, reg::SignalRouting2, on ? 0x44 : 0x84);
  setRegister(app, reg::TestPinEnable, on ? 0x38 : 0x00);
  const std::optional<uint8_t> sam = getRegister(app, reg::SamInterface);
  if (!on) {
    setRegister(app, reg::SamInterface, 0xFF);
  } else if (sam) {
    setRegister(app, reg::SamInterface, static_cast<uint8_t>(*sam & 0xDF));
  }
}

}  // namespace kvt::cardreader
