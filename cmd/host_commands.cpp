#include <algorithm>
#include <functional>
#include <mutex>
#include <string>

#include "app/control_ids.h"
#include "app/serial_ports.h"
#include "app/text_format.h"
#include "cmd/commands.h"
#include "cmd/ring_wait.h"
#include "cmd/test_log_calls.h"

namespace kvt::cmd::commands {

namespace {

constexpr int32_t kAcceptedRates[] = {9600, 14400, 19200, 38400, 57600, 115200, 128000, 256000};

// Time-outs and sleeps take the low 16 bits of the number given.
uint16_t low16(int32_t value) { return static_cast<uint16_t>(static_cast<uint32_t>(value)); }

// The RI level of the open port, read under the chip lock (the port may be closed or replaced
// by the UI thread between two looks).
RingLevelSource ringOf(CommandInterpreter& interpreter) {
  app::AppState* app = interpreter.context.app;
  return [app]() -> std::optional<bool> {
    if (app == nullptr) return std::nullopt;
    std::lock_guard lock(app->chipLock);
    return app->port != nullptr ? app->port->ringIndicator() : std::nullopt;
  };
}

// True once the interpreter's waits are to end early.
std::function<bool()> stopOf(CommandInterpreter& interpreter) {
  const std::atomic<uint8_t>* running = interpreter.running;
  if (running == nullptr) return {};
  return [running] { return running->load() == 0; };
}

// A wait on RI also ends at once when the port is lost: no change can come any more.
std::function<bool()> stopOrLostOf(CommandInterpreter& interpreter) {
  app::AppState* app = interpreter.context.app;
  std::function<bool()> stop = stopOf(interpreter);
  return [app, stop] { return (stop && stop()) || (app != nullptr && app::PortLost(*app)); };
}

// A sleep cut into short steps when it may have to end early.
void sleepFor(CommandInterpreter& interpreter, std::chrono::milliseconds duration) {
  const std::function<bool()> stop = stopOf(interpreter);
  if (!stop) {
    interpreter.clock->sleepFor(duration);
    return;
  }
  constexpr std::chrono::milliseconds kStep{10};
  while (duration.count() > 0 && !stop()) {
    const auto step = std::min(duration, kStep);
    interpreter.clock->sleepFor(step);
    duration -= step;
  }
}

}  // namespace

LineResult ChangeBitRateCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<1>(interpreter);
  const int32_t rate = ReadDecimal(tokens[0].data());
  bool accepted = false;
  for (int32_t candidate : kAcceptedRates) accepted = accepted || candidate == rate;
  if (!accepted) {
    interpreter.IOE = 1;
    Report(interpreter, app::Format("//%s: Error: Unsupported Baudrate - %d", name, rate));
    return LineDone;
  }
  interpreter.IOE = 0;
  Report(interpreter, app::Format("%s %7d     // Baudrate = %d", name, rate, rate));
  // Only the PC side changes: the chip keeps its rate and the window's speed index stays.
  if (interpreter.context.owner != nullptr) {
    interpreter.context.owner->setText(app::id::HostSpeed, std::to_string(rate));
  }
  if (interpreter.context.app != nullptr) {
    app::SetLineSettings(interpreter.context, static_cast<uint32_t>(rate));
  }
  return LineDone;
}

LineResult SleepCommand(CommandInterpreter& interpreter, const char*) {
  const auto tokens = ReadParameters<1>(interpreter);
  const int32_t value = ReadDecimal(tokens[0].data());
  sleepFor(interpreter, std::chrono::milliseconds(low16(value)));
  if (interpreter.context.app != nullptr) {
    CallSleepHook(*interpreter.context.app, static_cast<uint32_t>(value));
  }
  return LineDone;
}

LineResult WaitEdgeCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<1>(interpreter);
  const uint16_t timeout = low16(ReadDecimal(tokens[0].data()));
  const int result =
      WaitRingEdge(ringOf(interpreter), *interpreter.clock, timeout, stopOrLostOf(interpreter));
  Report(interpreter,
         app::Format("%s %d       // Timeout = %d (Result: %d)", name, timeout, timeout, result));
  return LineDone;
}

LineResult WaitLevelCommand(CommandInterpreter& interpreter, const char* name) {
  const auto tokens = ReadParameters<2>(interpreter);
  const int level = (ReadDecimal(tokens[0].data()) & 0xFF) != 0 ? 1 : 0;
  const uint16_t timeout = low16(ReadDecimal(tokens[1].data()));
  const int result = WaitRingLevel(ringOf(interpreter), *interpreter.clock, level == 1, timeout,
                                   stopOrLostOf(interpreter));
  Report(interpreter, app::Format("%s %d %d    // Level = %d, Timeout = %d (Result: %d)", name,
                                  level, timeout, level, timeout, result));
  return LineDone;
}

}  // namespace kvt::cmd::commands
