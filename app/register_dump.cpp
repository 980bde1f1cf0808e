#include "app/register_dump.h"

#include <mutex>
#include <string>

#include "app/log.h"
#include "app/run_events.h"
#include "app/text_format.h"
#include "chip/register_control.h"
#include "chip/registers.h"

namespace kvt::app {

namespace {
constexpr const char* kHeader = "    0  1  2  3  4  5  6  7   8  9  A  B  C  D  E  F";
constexpr std::size_t kRowLength = 53;

chip::Status readRegister(AppState& app, uint8_t address, uint8_t& value) {
  if (app.registerControl == nullptr) return chip::status::SerialInterface;
  chip::RegisterParams params{address, 0, nullptr};
  const chip::Status status = app.registerControl->GetRegister(&params);
  value = params.value;
  // The dump reports its accesses only as the rows of the table.
  if (app.events != nullptr)
    app.events->registerAccess({"dump", address, value, {}, {}, status, {}});
  return status;
}

// Cells are four characters wide but start three apart (one more from column 8 on), so each
// overwrites the trailing blank of the one before.
void putCell(std::string& row, unsigned column, const std::string& cell) {
  const std::size_t at = 3 + 3 * column + (column >= 8 ? 1 : 0);
  row.replace(at, cell.size(), cell);
}
}  // namespace

chip::Status DumpRegisters(const DialogContext& context) {
  AppState& app = *context.app;
  std::lock_guard lock(app.chipLock);
  uint8_t value = 0;
  const chip::Status probe = readRegister(app, 0x00, value);
  if (probe != chip::status::Success) {
    AppendLog(context, Format("Writing Error on register 0x%02X: STKSTATUS 0x%04X!", 0x00, probe),
              true);
  }
  AppendLog(context, "Registersetting : ", true);
  std::string line = kHeader;
  for (unsigned address = 0; address < chip::reg::Count; ++address) {
    const unsigned column = address % 16;
    if (column == 0) {
      AppendLog(context, line, true);
      line = Format("P%u ", address / 16);
      line.resize(kRowLength, ' ');
    }
    if (address == chip::reg::FifoData) {
      putCell(line, column, "xx  ");
      continue;
    }
    const chip::Status status = readRegister(app, static_cast<uint8_t>(address), value);
    if (status != chip::status::Success) return probe != chip::status::Success ? probe : status;
    putCell(line, column, Format("%02x  ", value));
  }
  AppendLog(context, line, true);
  return probe;
}

}  // namespace kvt::app
