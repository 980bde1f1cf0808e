#include "app/components.h"

namespace kvt::app {

namespace {
constexpr uint8_t kInitiator = 1;  // the chip acts as reader for the whole run
}  // namespace

Components::Components() {
  registerControl.Init(&serialBus);
  transceiver.Init(&registerControl, kInitiator);
  passivePolling.Init(&registerControl, kInitiator);
  operationControl.Init(&registerControl);
  iso14443A.Init(&registerControl, kInitiator);
  korvexReader.Init(&transceiver, korvexScratch.data());
}

void Components::setClock(platform::Clock* clock) {
  transceiver.setClock(clock);
  passivePolling.setClock(clock);
  operationControl.setClock(clock);
  iso14443A.setClock(clock);
}

void Components::publish(AppState& app) {
  app.korvexReader = &korvexReader;
  app.iso14443A = &iso14443A;
  app.operationControl = &operationControl;
  app.passivePolling = &passivePolling;
  app.transceiver = &transceiver;
  app.registerControl = &registerControl;
  app.serialBus = &serialBus;
  app.serialBusObject = &serialBus;
  app.registerControlObject = &registerControl;
}

}  // namespace kvt::app
