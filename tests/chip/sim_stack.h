#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/passive_polling.h"
#include "chip/register_control.h"
#include "chip/registers.h"
#include "chip/serial_bus.h"
#include "chip/transceiver.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"

namespace kvt::chip::test {

// The whole stack wired as the application wires it, on the simulated chip through an
// in-process serial line. The chip's timer is set the way the card reader sets it before a
// step (prescaler 0x2A5, about 100 us per tick, automatic start).
class SimStack {
 public:
  SimStack() : port(chip) {
    port.setTracing(true);  // trafficBytes() reads it
    bus.setPort(&port);
    control.Init(&bus);
    transceiver.Init(&control, 1);
    polling.Init(&control, 1);
    iso.Init(&control, 1);
    korvex.Init(&transceiver, scratch);
    setTimer(0x64);
  }

  // Timer reload in ticks of about 100 us.
  void setTimer(uint16_t reload) {
    set(reg::TimerMode, 0x82);  // automatic start, prescaler high bits 0x2
    set(reg::TimerPrescalerLow, 0xA5);
    set(reg::TimerReloadHigh, static_cast<uint8_t>(reload >> 8));
    set(reg::TimerReloadLow, static_cast<uint8_t>(reload & 0xFF));
  }
  Status set(uint8_t address, uint8_t value) {
    RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }

  Status request(uint8_t code = 0x26) {
    RequestParams p{code, atqa.data(), nullptr};
    return iso.RequestA(&p);
  }
  // A fresh anticollision and selection; the result lands in `serial`, `knownBits`, `sak`.
  Status activate() {
    serial.fill(0);
    AnticollisionParams p{0x93, serial.data(), 0, 0, 0, nullptr};
    const Status s = iso.AnticollisionSelect(&p);
    knownBits = p.knownBits;
    sak = p.sak;
    collisionFlags = p.collisionFlags;
    return s;
  }
  Status halt() {
    HaltParams p{nullptr, 0, nullptr};
    return iso.HaltA(&p);
  }
  // The UID without cascade tags, from `serial` and `knownBits`.
  std::vector<uint8_t> uid() const {
    std::vector<uint8_t> out;
    const int levels = knownBits / 32;
    for (int l = 0; l < levels; ++l) {
      const int first = l < levels - 1 ? 1 : 0;  // every level but the last: cascade tag
      out.insert(out.end(), serial.begin() + 4 * l + first, serial.begin() + 4 * l + 4);
    }
    return out;
  }
  size_t trafficBytes() { return port.takeTrace().size(); }

  sim::Kv380 chip;
  sim::SimulatedPort port;
  SerialBus bus;
  RegisterControl control;
  Transceiver transceiver;
  PassivePolling polling;
  Iso14443A iso;
  KorvexReader korvex;
  uint8_t scratch[256] = {};

  std::array<uint8_t, 2> atqa{};
  std::array<uint8_t, 12> serial{};
  uint8_t knownBits = 0;
  uint8_t sak = 0;
  uint8_t collisionFlags = 0;
};

}  // namespace kvt::chip::test
