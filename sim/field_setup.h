#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/korvex_card.h"
#include "sim/rf_field.h"

// The cards a user puts in front of the simulated chip, chosen on the command line:
//
//   --sim-card UID        a Korvex 1K card with this UID: 8, 14 or 20 hex digits (4-, 7- or
//                         10-byte UID); repeatable, one card per option
//   --sim-empty           no card at all
//   --sim-wrong-bcc       the card sends a wrong check byte at cascade level 1
//   --sim-nak-writes      the card refuses every write with NAK 0x4
//   --sim-ack-value       the card acknowledges the operand of value commands
//   --sim-leave-after N   the card leaves the field after it has heard N frames
//
// A fault option applies to the card of the --sim-card before it, or to the default card
// when no --sim-card is given. Without --sim-card and --sim-empty the field holds the default
// card: 4-byte UID, ATQA 04 00, SAK 08, key A and key B 5A17C3E90B42 in every trailer.
namespace kvt::sim {

struct CardFaults {
  bool wrongBcc = false;
  bool nakWrites = false;
  bool ackValueOperands = false;
  std::optional<int> leaveAfterFrames;
};

struct CardSetup {
  std::vector<uint8_t> uid;
  CardFaults faults;
};

struct FieldSetup {
  bool empty = false;
  std::vector<CardSetup> cards;  // in the order given
  CardFaults defaultCardFaults;  // faults given before any --sim-card
  bool faultsBeforeCards = false;
};

inline constexpr uint8_t kDefaultCardUid[] = {0xC4, 0x3B, 0x9E, 0x12};

// Help lines for a program's usage text, one option per line, each ending in '\n'.
extern const char* const kFieldOptionsHelp;

// A UID of 8, 14 or 20 hexadecimal digits; nullopt with a readable reason otherwise.
std::optional<std::vector<uint8_t>> parseUid(std::string_view text, std::string* error);

struct FieldOptionResult {
  int consumed = 0;   // arguments taken from `index` on; 0: not a field option
  std::string error;  // non-empty: the option is malformed (consumed is then 0)
};
// Looks at args[index] (and its value, given as the next argument or after '=').
FieldOptionResult parseFieldOption(FieldSetup& setup, std::span<const std::string> args,
                                   size_t index);
// Checks the options as a whole; an empty string when they fit together.
std::string checkFieldSetup(const FieldSetup& setup);

// Replaces the targets of `field` by the cards of `setup`.
void applyFieldSetup(const FieldSetup& setup, RfField& field);

}  // namespace kvt::sim
