#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "sim/rf_field.h"

namespace kvt::sim {

// A passive target of ISO/IEC 18092 at 212/424 kbit/s answering the polling request
//   06 00 system-code(2) request-code time-slots
// in its time slot with
//   length (18, or 20 with request data) 01 IDm(8) PMm(8) [request data(2)]
// followed by the frame's CRC. Real targets pick a random slot among those the request
// offers; this one always takes its configured slot, or the last one offered when the request
// offers fewer. Request code 1 asks for the system code, 2 for the communication ability.
class PollingTarget final : public RfTarget {
 public:
  using Id = std::array<uint8_t, 8>;
  static constexpr uint16_t kWildcardSystemCode = 0xFFFF;

  PollingTarget(const Id& idm, const Id& pmm, uint16_t systemCode = 0x12FC, int slot = 0)
      : idm_(idm), pmm_(pmm), systemCode_(systemCode), slot_(slot) {}

  std::optional<AirFrame> receive(const AirFrame& frame) override;
  int answerSlot() const override { return answerSlot_; }

  const Id& idm() const { return idm_; }
  // Faults: a malformed length byte, and an answer damaged on the air (its CRC is wrong).
  void setLengthByte(std::optional<uint8_t> value) { lengthByte_ = value; }
  void setDamagedAnswer(bool on) { damaged_ = on; }

 private:
  Id idm_;
  Id pmm_;
  uint16_t systemCode_;
  int slot_;
  int answerSlot_ = 0;
  std::optional<uint8_t> lengthByte_;
  bool damaged_ = false;
};

}  // namespace kvt::sim
