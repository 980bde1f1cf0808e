#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/card_image.h"
#include "sim/korvex_card.h"
#include "sim/rf_field.h"

// The cards a user puts in front of the simulated chip, chosen on the command line:
//
//   --sim-card UID        a Korvex 1K card with this UID: 8, 14 or 20 hex digits (4-, 7- or
//                         10-byte UID); repeatable, one card per option
//   --sim-card-file FILE  a Korvex 1K card whose memory is the 1024-byte image in FILE (UID,
//                         SAK and ATQA from its block 0); repeatable
//   --sim-save            write each image card's memory back to its file at program end
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
  std::string imageFile;                   // --sim-card-file: where the card's memory lives
  std::shared_ptr<const CardImage> image;  // that file's image, read with the option
};

struct FieldSetup {
  bool empty = false;
  std::vector<CardSetup> cards;  // in the order given
  CardFaults defaultCardFaults;  // faults given before any --sim-card
  bool faultsBeforeCards = false;
  bool saveImages = false;  // --sim-save
};

// A card of the field whose memory came from an image file.
struct ImageCard {
  std::string file;
  std::shared_ptr<KorvexCard> card;
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

// Replaces the targets of `field` by the cards of `setup`; returns the image cards among them,
// which the program saves at its end when setup.saveImages is set.
std::vector<ImageCard> applyFieldSetup(const FieldSetup& setup, RfField& field);

// Writes the memory of every card back to its file, each replaced in one step. One message per
// file that could not be written; empty when all were.
std::vector<std::string> saveImageCards(std::span<const ImageCard> cards);

}  // namespace kvt::sim
