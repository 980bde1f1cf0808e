#include "sim/field_setup.h"

#include <algorithm>
#include <charconv>

#include "chip/iso14443a_codes.h"
#include "platform/command_option.h"
#include "platform/hex_text.h"
#include "sim/leaving_target.h"

namespace kvt::sim {

const char* const kFieldOptionsHelp =
    "  --sim-card UID        put a Korvex 1K card with this UID (8, 14 or 20 hex digits) in the\n"
    "                        field; repeatable\n"
    "  --sim-card-file FILE  put a Korvex 1K card whose memory is the 1024-byte image in FILE\n"
    "                        (64 blocks of 16 bytes, block 0 first) in the field; repeatable\n"
    "  --sim-save            write each --sim-card-file card's memory back to its file when\n"
    "                        the program ends\n"
    "  --sim-empty           leave the field empty\n"
    "  --sim-wrong-bcc       fault: the card sends a wrong check byte at cascade level 1\n"
    "  --sim-nak-writes      fault: the card refuses every write with NAK 0x4\n"
    "  --sim-ack-value       fault: the card acknowledges the operand of value commands\n"
    "  --sim-leave-after N   fault: the card leaves the field after N frames\n"
    "                        (fault options apply to the --sim-card before them)\n";

namespace {
constexpr int kMaxLeaveAfter = 1000000;

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The option's value: after '=' in the same argument, or the next argument.
struct Value {
  std::optional<std::string> text;
  int consumed = 0;
};
Value valueOf(std::span<const std::string> args, size_t index) {
  size_t at = index;
  std::optional<std::string> text = platform::TakeOptionValue(args, at);
  return {std::move(text), static_cast<int>(at - index) + 1};
}

CardFaults& faultsOfLastCard(FieldSetup& setup) {
  if (setup.cards.empty()) {
    setup.faultsBeforeCards = true;
    return setup.defaultCardFaults;
  }
  return setup.cards.back().faults;
}

std::shared_ptr<RfTarget> withFaults(std::shared_ptr<KorvexCard> card, const CardFaults& faults) {
  card->setWrongBcc(faults.wrongBcc);
  card->setNakWrites(faults.nakWrites);
  card->setAckValueOperands(faults.ackValueOperands);
  if (faults.leaveAfterFrames) {
    return std::make_shared<LeavingTarget>(std::move(card), *faults.leaveAfterFrames);
  }
  return card;
}

// A card for the field with this UID (or the image's), unless another card has it already.
FieldOptionResult addCard(FieldSetup& setup, CardSetup card, int consumed,
                          std::string_view option) {
  for (const auto& other : setup.cards) {
    if (other.uid == card.uid) {
      return {0, std::string(option) + ": UID " + quoted(platform::BytesToHex(card.uid)) +
                     " given twice"};
    }
  }
  setup.cards.push_back(std::move(card));
  return {consumed, {}};
}
}  // namespace

std::optional<std::vector<uint8_t>> parseUid(std::string_view text, std::string* error) {
  auto fail = [error](std::string message) -> std::optional<std::vector<uint8_t>> {
    if (error) *error = std::move(message);
    return std::nullopt;
  };
  for (char c : text) {
    if (platform::HexDigitValue(c) < 0) return fail("UID " + quoted(text) + " is not hexadecimal");
  }
  if (text.size() != 8 && text.size() != 14 && text.size() != 20) {
    return fail("UID " + quoted(text) + " has " + std::to_string(text.size()) +
                " digits; give 8, 14 or 20 hex digits (a 4-, 7- or 10-byte UID)");
  }
  std::vector<uint8_t> uid;
  for (size_t i = 0; i < text.size(); i += 2) {
    uid.push_back(static_cast<uint8_t>(platform::HexDigitValue(text[i]) << 4 |
                                       platform::HexDigitValue(text[i + 1])));
  }
  // Every cascade level but the last starts with the cascade tag, so the last level must not:
  // a reader would take it for one.
  const size_t lastLevelStart = uid.size() - 4;
  if (uid[lastLevelStart] == chip::iso14443::CascadeTag) {
    return fail("UID " + quoted(text) + ": byte " + std::to_string(lastLevelStart + 1) +
                " may not be 88, the cascade tag");
  }
  return uid;
}

FieldOptionResult parseFieldOption(FieldSetup& setup, std::span<const std::string> args,
                                   size_t index) {
  const platform::CommandOption option = platform::SplitOption(args[index]);
  const std::string_view name = option.name;
  const bool inlineValue = option.inlineValue.has_value();
  auto flag = [&](bool& target) -> FieldOptionResult {
    if (inlineValue) return {0, std::string(name) + " takes no value"};
    target = true;
    return {1, {}};
  };

  if (name == "--sim-card") {
    const Value value = valueOf(args, index);
    if (!value.text) return {0, "--sim-card needs a UID (8, 14 or 20 hex digits)"};
    std::string error;
    auto uid = parseUid(*value.text, &error);
    if (!uid) return {0, "--sim-card: " + error};
    return addCard(setup, CardSetup{std::move(*uid), {}, {}, nullptr}, value.consumed, name);
  }
  if (name == "--sim-card-file") {
    const Value value = valueOf(args, index);
    if (!value.text || value.text->empty()) return {0, "--sim-card-file needs a file name"};
    std::string error;
    auto image = loadCardImage(*value.text, error);
    if (!image) return {0, "--sim-card-file: " + error};
    std::vector<uint8_t> uid = image->uid;
    return addCard(
        setup,
        CardSetup{
            std::move(uid), {}, *value.text, std::make_shared<const CardImage>(std::move(*image))},
        value.consumed, name);
  }
  if (name == "--sim-save") return flag(setup.saveImages);
  if (name == "--sim-empty") return flag(setup.empty);
  if (name == "--sim-wrong-bcc") return flag(faultsOfLastCard(setup).wrongBcc);
  if (name == "--sim-nak-writes") return flag(faultsOfLastCard(setup).nakWrites);
  if (name == "--sim-ack-value") return flag(faultsOfLastCard(setup).ackValueOperands);
  if (name == "--sim-leave-after") {
    const Value value = valueOf(args, index);
    if (!value.text) return {0, "--sim-leave-after needs a number of frames"};
    int frames = 0;
    const char* first = value.text->data();
    const char* last = first + value.text->size();
    auto [end, ec] = std::from_chars(first, last, frames);
    if (ec != std::errc() || end != last || frames < 1 || frames > kMaxLeaveAfter) {
      return {0, "--sim-leave-after: " + quoted(*value.text) +
                     " is not a number of frames from 1 to " + std::to_string(kMaxLeaveAfter)};
    }
    faultsOfLastCard(setup).leaveAfterFrames = frames;
    return {value.consumed, {}};
  }
  return {};
}

std::string checkFieldSetup(const FieldSetup& setup) {
  if (setup.empty && (!setup.cards.empty() || setup.faultsBeforeCards)) {
    return "--sim-empty leaves no card for --sim-card, --sim-card-file or a fault option";
  }
  if (setup.faultsBeforeCards && !setup.cards.empty()) {
    return "a fault option applies to the --sim-card before it; give it after that option";
  }
  if (setup.saveImages && std::none_of(setup.cards.begin(), setup.cards.end(),
                                       [](const CardSetup& card) { return card.image; })) {
    return "--sim-save saves the cards of --sim-card-file; give one";
  }
  return {};
}

std::vector<ImageCard> applyFieldSetup(const FieldSetup& setup, RfField& field) {
  field.clear();
  std::vector<ImageCard> imageCards;
  if (setup.empty) return imageCards;
  if (setup.cards.empty()) {
    const std::vector<uint8_t> uid(std::begin(kDefaultCardUid), std::end(kDefaultCardUid));
    field.add(withFaults(std::make_shared<KorvexCard>(uid), setup.defaultCardFaults));
    return imageCards;
  }
  for (const auto& card : setup.cards) {
    auto korvex = card.image ? std::make_shared<KorvexCard>(*card.image)
                             : std::make_shared<KorvexCard>(card.uid);
    if (card.image) imageCards.push_back({card.imageFile, korvex});
    field.add(withFaults(std::move(korvex), card.faults));
  }
  return imageCards;
}

std::vector<std::string> saveImageCards(std::span<const ImageCard> cards) {
  std::vector<std::string> errors;
  for (const auto& card : cards) {
    std::string error;
    if (!saveCardImage(card.file, card.card->memory(), error)) errors.push_back(error);
  }
  return errors;
}

}  // namespace kvt::sim
