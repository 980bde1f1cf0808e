#pragma once

#include <array>
#include <cstdint>

#include "app/app_state.h"
#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/operation_control.h"
#include "chip/passive_polling.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "chip/transceiver.h"
#include "platform/clock.h"

namespace kvt::app {

// One object of every chip stack component, wired bottom-up, plus the Korvex reader's scratch
// frame buffer. Members are constructed in stack order and destroyed in reverse.
struct Components {
  Components();
  Components(const Components&) = delete;
  Components& operator=(const Components&) = delete;

  // Stores the interface pointers (and the two bottom objects) in `app`.
  void publish(AppState& app);
  // The clock every chip command's polled wait is bounded on (default: the system clock).
  void setClock(platform::Clock* clock);

  chip::SerialBus serialBus;
  chip::RegisterControl registerControl;
  chip::Transceiver transceiver;
  chip::PassivePolling passivePolling;
  chip::OperationControl operationControl;
  chip::Iso14443A iso14443A;
  chip::KorvexReader korvexReader;
  std::array<uint8_t, 256> korvexScratch{};
};

}  // namespace kvt::app
