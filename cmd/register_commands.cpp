#include <mutex>

#include "app/run_events.h"
#include "app/text_format.h"
#include "chip/register_control.h"
#include "chip/status.h"
#include "cmd/commands.h"
#include "cmd/test_log_calls.h"

namespace kvt::cmd::commands {

namespace {

// Runs one register operation with the chip lock held, so the register dialog or another
// caller never interleaves its bytes with this access.
template <class Params>
chip::Status onChip(CommandInterpreter& interpreter,
                    chip::Status (chip::IRegisterControl::*operation)(Params*), Params& params) {
  app::AppState* app = interpreter.context.app;
  if (app == nullptr) return chip::status::SerialInterface;
  std::lock_guard lock(app->chipLock);
  if (app->registerControl == nullptr) return chip::status::SerialInterface;
  return (app->registerControl->*operation)(&params);
}

void noteStatus(CommandInterpreter& interpreter, chip::Status status) {
  interpreter.IOE = status != chip::status::Success ? 1 : 0;
  if (status != chip::status::Success && interpreter.tally != nullptr) {
    ++interpreter.tally->registerFailures;
    if (interpreter.tally->statusFailed) interpreter.tally->statusFailed(status);
  }
}

void noteComparison(CommandInterpreter& interpreter, bool equal) {
  interpreter.IOR = equal ? 0 : 1;
  if (!equal && interpreter.tally != nullptr) ++interpreter.tally->compareErrors;
}

app::AppState& appOf(CommandInterpreter& interpreter) { return *interpreter.context.app; }

app::RunEvents* eventsOf(CommandInterpreter& interpreter) {
  return interpreter.context.app != nullptr ? interpreter.context.app->events : nullptr;
}

// Tells a listener of the access, then logs its line.
void reportAccess(CommandInterpreter& interpreter, app::RegisterAccessRecord record,
                  const std::string& line) {
  record.line = line;
  if (app::RunEvents* events = eventsOf(interpreter)) events->registerAccess(record);
  Report(interpreter, line);
}

// A compare: the read access, its outcome, then the line.
void reportCompare(CommandInterpreter& interpreter, app::CompareRecord compare, chip::Status status,
                   const std::string& line) {
  compare.line = line;
  if (app::RunEvents* events = eventsOf(interpreter)) {
    events->registerAccess(
        {compare.command, compare.address, compare.actual, {}, {}, status, line});
    events->compare(compare);
  }
  Report(interpreter, line);
}

// `value` as `digits` upper-case hexadecimal digits with leading zeros (printf's "%0*X").
void appendHex(std::string& text, uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 15];
}

// The log lines of SR and GR, built without printf: a long run writes one for every line.
// "SR  AA  DD                     // (STKSTATUS SSSS)"
std::string writeLine(const char* name, uint8_t address, uint8_t data, chip::Status status) {
  std::string line(name);
  line += "  ";
  appendHex(line, address, 2);
  line += "  ";
  appendHex(line, data, 2);
  line += "                     // (STKSTATUS ";
  appendHex(line, status, 4);
  line += ')';
  return line;
}

// "GR  AA          // data == VV  // (STKSTATUS SSSS)"
std::string readLine(const char* name, uint8_t address, uint8_t value, chip::Status status) {
  std::string line(name);
  line += "  ";
  appendHex(line, address, 2);
  line += "          // data == ";
  appendHex(line, value, 2);
  line += "  // (STKSTATUS ";
  appendHex(line, status, 4);
  line += ')';
  return line;
}

}  // namespace

LineResult SetRegisterCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<2>(interpreter);
  const uint8_t data = ResolveOperand(interpreter, tokens[1].data(), 2);
  const uint8_t address = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  chip::RegisterParams params{address, data, nullptr};
  const chip::Status status = onChip(interpreter, &chip::IRegisterControl::SetRegister, params);
  noteStatus(interpreter, status);
  reportAccess(interpreter, {name, address, data, {}, {}, status, {}},
               writeLine(name, address, data, status));
  if (interpreter.context.app != nullptr) {
    CallWriteHook(appOf(interpreter), chip::RegisterParams{address, data, nullptr});
  }
  return LineDone;
}

LineResult GetRegisterCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<1>(interpreter);
  const uint8_t address = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  chip::RegisterParams params{address, 0, nullptr};
  const chip::Status status = onChip(interpreter, &chip::IRegisterControl::GetRegister, params);
  interpreter.IOR = params.value;
  noteStatus(interpreter, status);
  reportAccess(interpreter, {name, address, params.value, {}, {}, status, {}},
               readLine(name, address, params.value, status));
  if (interpreter.context.app != nullptr) {
    const uint8_t mask = status == chip::status::Success ? 0xFF : 0x00;
    CallReadHook(appOf(interpreter), chip::RegisterParams{address, params.value, nullptr}, mask);
  }
  return LineDone;
}

LineResult ModifyRegisterCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<3>(interpreter);
  const uint8_t set = ResolveOperand(interpreter, tokens[2].data(), 3);
  const uint8_t mask = ResolveOperand(interpreter, tokens[1].data(), 2);
  const uint8_t address = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  chip::ModifyRegisterParams params{address, mask, set, nullptr};
  const chip::Status status = onChip(interpreter, &chip::IRegisterControl::ModifyRegister, params);
  noteStatus(interpreter, status);
  reportAccess(interpreter, {name, address, {}, mask, set != 0, status, {}},
               app::Format("%s  %02X %02X %01X                    // (STKSTATUS %04X)", name,
                           address, mask, set, status));
  // The pattern formats have no read-modify-write vector.
  if (interpreter.context.app != nullptr && TestLogActive(appOf(interpreter))) {
    Report(interpreter, "TestLog: Command not supported!!!");
  }
  return LineDone;
}

LineResult CompareRegisterCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<2>(interpreter);
  const uint8_t data = ResolveOperand(interpreter, tokens[1].data(), 2);
  const uint8_t address = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  chip::RegisterParams params{address, 0, nullptr};
  const chip::Status status = onChip(interpreter, &chip::IRegisterControl::GetRegister, params);
  noteStatus(interpreter, status);
  const bool equal = params.value == data;
  noteComparison(interpreter, equal);
  reportCompare(interpreter, {name, address, data, {}, params.value, equal, {}}, status,
                app::Format("%s  %02X  %02X      // data == %02X  // (STKSTATUS %04X)%s", name,
                            address, data, params.value, status, equal ? "" : " ** ERROR **"));
  if (interpreter.context.app != nullptr) {
    CallReadHook(appOf(interpreter), chip::RegisterParams{address, data, nullptr}, 0xFF);
  }
  return LineDone;
}

LineResult CompareMaskedCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<3>(interpreter);
  const uint8_t mask = ResolveOperand(interpreter, tokens[2].data(), 3);
  const uint8_t data = ResolveOperand(interpreter, tokens[1].data(), 2);
  const uint8_t address = ResolveOperand(interpreter, tokens[0].data(), 1);
  if (interpreter.operandError != 0) return LineFailed;
  chip::RegisterParams params{address, 0, nullptr};
  const chip::Status status = onChip(interpreter, &chip::IRegisterControl::GetRegister, params);
  noteStatus(interpreter, status);
  // Only the register value is masked: expected data with bits outside the mask never match.
  const bool equal = (params.value & mask) == data;
  noteComparison(interpreter, equal);
  reportCompare(
      interpreter, {name, address, data, mask, params.value, equal, {}}, status,
      app::Format("%s  %02X  %02X  %02X  // data == %02X  // (STKSTATUS %04X)%s", name, address,
                  data, mask, params.value, status, equal ? "" : " ** ERROR **"));
  if (interpreter.context.app != nullptr) {
    CallReadHook(appOf(interpreter), chip::RegisterParams{address, data, nullptr}, mask);
  }
  return LineDone;
}

}  // namespace kvt::cmd::commands
