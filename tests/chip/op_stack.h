#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chip/command_engine.h"
#include "chip/iso14443a.h"
#include "chip/korvex_reader.h"
#include "chip/operation_control.h"
#include "chip/passive_polling.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "chip/transceiver.h"
#include "op_script.h"
#include "platform/clock.h"
#include "sim/iso14443a_card.h"
#include "sim/korvex_card.h"
#include "sim/kv380.h"
#include "sim/simulated_port.h"
#include "support/scripted_port.h"

namespace kvt::chip::test {

// The whole chip stack wired as the application wires it, on a scripted line or on the
// simulated chip, and the operations a script names, each giving its results as text.
// "uid=.. sak=.. atqa=.." of the card a card image names, or why it names none.
std::string cardImageText(const OpArgs& args);

class OpStack {
 public:
  OpStack();
  // Moves the stack onto a simulated chip of `version`.
  void useSimulatedChip(uint8_t version);
  void setInitiator(uint8_t initiator);
  // Puts `target` in the simulated field; what it hears is kept for the "heard" operation.
  void addTarget(std::shared_ptr<sim::RfTarget> target);
  // Directives of a card spoken to directly ("card UID", "select-card" ...); false for others.
  bool cardDirective(const Words& words);
  // "STATUS key=value ..." of the operation `op`.
  std::string run(const std::string& op, const OpArgs& args);

  kvt::test::ScriptedPort scripted;
  std::shared_ptr<sim::Iso14443ACard> card;  // spoken to directly, without the chip
  std::unique_ptr<sim::Kv380> chip;
  std::unique_ptr<sim::SimulatedPort> simulated;
  SerialBus bus;
  RegisterControl control;
  Transceiver transceiver;
  Iso14443A iso;
  PassivePolling polling;
  OperationControl operation;
  KorvexReader korvex;
  std::vector<sim::AirFrame> heard;  // frames the targets heard
  std::vector<std::string> events;   // authentications, crypto unit off, field resets
  platform::ManualClock stillClock;  // never advanced

 private:
  std::string operate(const std::string& op, const OpArgs& args);
  std::string registers(const std::string& op, const OpArgs& args);
  std::string command(const OpArgs& args);
  std::string frames(const std::string& op, const OpArgs& args);
  std::string typeA(const std::string& op, const OpArgs& args);
  std::string attributes(const std::string& op, const OpArgs& args);
  std::string korvexCommand(const std::string& op, const OpArgs& args);
  std::string cardOp(const std::string& op, const OpArgs& args);
  std::string simulatedChip(const std::string& op, const OpArgs& args);

  std::chrono::nanoseconds lastLook_{0};
  UpperLink<IRegisterControl> link_;
  RegisterControlRecord adapter_;
  uint8_t scratch_[256] = {};
  uint8_t serial_[12] = {};
};

}  // namespace kvt::chip::test
