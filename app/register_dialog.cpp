#include "app/register_dialog.h"

#include <cctype>
#include <mutex>

#include "app/control_ids.h"
#include "app/log.h"
#include "app/serial_ports.h"
#include "app/text_format.h"
#include "chip/register_control.h"
#include "platform/hex_text.h"

namespace kvt::app {

namespace {
constexpr std::size_t kFieldLength = 9;  // characters a byte field takes
constexpr std::size_t kKeptLength = 19;  // characters kept between openings
constexpr long kSaturated = 0x7FFFFFFF;  // a hex number too large for a signed 32-bit long
}  // namespace

uint8_t HexTextToByte(std::string& text, bool& changed) {
  for (char& c : text) {
    if (c < '0' || c > 'F') {
      c = '0';
      changed = true;
    }
  }
  long number = 0;
  for (char c : text) {
    const int digit = platform::HexDigitValue(c);
    if (digit < 0) break;
    number = number > (kSaturated - digit) / 16 ? kSaturated : number * 16 + digit;
  }
  if (number > 0xFF) changed = true;
  const auto byte = static_cast<uint8_t>(number & 0xFF);
  text = Format("%02X", byte);
  return byte;
}

std::string ByteToBinary(uint8_t value) {
  std::string bits(8, '0');
  for (int bit = 0; bit < 8; ++bit) {
    if (value & (0x80 >> bit)) bits[bit] = '1';
  }
  return bits;
}

std::string FormatSetLine(uint8_t address, uint8_t value, chip::Status status) {
  return Format("SR: %02X %02X                      // (STKSTATUS %04X)", address, value, status);
}

std::string FormatGetLine(uint8_t address, uint8_t value, chip::Status status) {
  return Format("GR: %02X          // data == %02X  // (STKSTATUS %04X)", address, value, status);
}

DialogContext RegisterDialog::contextFor(platform::View& window) const {
  return DialogContext{app_.mainWindow, &window, app_.instance, 0, 0, &app_};
}

void RegisterDialog::init(platform::View& window) {
  if (app_.monospaceFont) {
    for (int id : {id::RegAddress, id::RegValue, id::RegBinary, id::RegResult}) {
      window.setMonospaceFont(id);
    }
  }
  window.setChecked(id::RegLogEnable, app_.registerLogEnabled != 0);
  window.setText(id::RegAddress, app_.registerAddressText);
  window.setText(id::RegValue, app_.registerValueText);
}

uint8_t RegisterDialog::readField(platform::View& window, int id, bool writeBackCorrections) {
  std::string shown = window.text(id).substr(0, kFieldLength);
  // The edits show typed letters in capitals whatever the toolkit does with them.
  std::string text = shown;
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (writeBackCorrections && text != shown) window.setText(id, text);
  std::string converted = text;
  bool changed = false;
  const uint8_t byte = HexTextToByte(converted, changed);
  if (writeBackCorrections && changed) window.setText(id, converted);
  return byte;
}

void RegisterDialog::command(platform::View& window, int id, int notification) {
  switch (id) {
    case id::RegAddress:
      readField(window, id::RegAddress, true);
      break;
    case id::RegValue:
      window.setText(id::RegBinary, ByteToBinary(readField(window, id::RegValue, true)));
      break;
    case id::RegSet:
      set(window);
      break;
    case id::RegGet:
      get(window);
      break;
    case id::RegLogEnable:
      app_.registerLogEnabled = window.checked(id::RegLogEnable) ? 1 : 0;
      break;
    case id::RegLogClear:
      ClearLog(contextFor(window));
      break;
    case id::RegQuit:
      close(window);
      break;
    default:
      break;
  }
}

void RegisterDialog::set(platform::View& window) {
  const DialogContext context = contextFor(window);
  chip::RegisterParams params{readField(window, id::RegAddress, false),
                              readField(window, id::RegValue, false), nullptr};
  chip::Status status = chip::status::SerialInterface;
  {
    std::lock_guard lock(app_.chipLock);
    PurgePort(context);
    if (app_.registerControl != nullptr) status = app_.registerControl->SetRegister(&params);
  }
  const std::string line = FormatSetLine(params.address, params.value, status);
  window.setText(id::RegResult, line);
  if (app_.registerLogEnabled) AppendLog(context, line, true);
}

void RegisterDialog::get(platform::View& window) {
  const DialogContext context = contextFor(window);
  chip::RegisterParams params{readField(window, id::RegAddress, false), 0, nullptr};
  chip::Status status = chip::status::SerialInterface;
  {
    std::lock_guard lock(app_.chipLock);
    PurgePort(context);
    if (app_.registerControl != nullptr) status = app_.registerControl->GetRegister(&params);
  }
  // After a failure the fields show whatever the call left in the record.
  window.setText(id::RegValue, Format("%02X", params.value));
  window.setText(id::RegBinary, ByteToBinary(params.value));
  const std::string line = FormatGetLine(params.address, params.value, status);
  window.setText(id::RegResult, line);
  if (app_.registerLogEnabled) AppendLog(context, line, true);
}

void RegisterDialog::close(platform::View& window) {
  app_.registerAddressText = window.text(id::RegAddress).substr(0, kKeptLength);
  app_.registerValueText = window.text(id::RegValue).substr(0, kKeptLength);
  app_.registerDialog = nullptr;
  window.close(0);
}

}  // namespace kvt::app
