#include "sim/field_setup.h"

#include <algorithm>
#include <charconv>

#include "platform/command_option.h"
#include "platform/hex_text.h"
#include "sim/leaving_target.h"

namespace kvt::sim {

const char* const kFieldOptionsHelp =
    "  --sim-card UID        put a Korvex 1K card with this UID (8, 14 or 20 hex digits) in the\n"
    "                        field; repeatable\n"
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

std::shared_ptr<RfTarget> makeCard(const std::vector<uint8_t>& uid, const CardFaults& faults) {
  auto card = std::make_shared<KorvexCard>(uid);
  card->setWrongBcc(faults.wrongBcc);
  card->setNakWrites(faults.nakWrites);
  card->setAckValueOperands(faults.ackValueOperands);
  if (faults.leaveAfterFrames) {
    return std::make_shared<LeavingTarget>(std::move(card), *faults.leaveAfterFrames);
  }
  return card;
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
  // Every cascade level but the last starts with the cascade tag 0x88, so the last level must
  // not: a reader would take it for one.
  const size_t lastLevelStart = uid.size() - 4;
  if (uid[lastLevelStart] == 0x88) {
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
    for (const auto& card : setup.cards) {
      if (card.uid == *uid) return {0, "--sim-card: UID " + quoted(*value.text) + " given twice"};
    }
    setup.cards.push_back({std::move(*uid), {}});
    return {value.consumed, {}};
  }
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
    return "--sim-empty leaves no card for --sim-card or a fault option";
  }
  if (setup.faultsBeforeCards && !setup.cards.empty()) {
    return "a fault option applies to the --sim-card before it; give it after that option";
  }
  return {};
}

void applyFieldSetup(const FieldSetup& setup, RfField& field) {
  field.clear();
  if (setup.empty) return;
  if (setup.cards.empty()) {
    field.add(makeCard(std::vector<uint8_t>(std::begin(kDefaultCardUid), std::end(kDefaultCardUid)),
                       setup.defaultCardFaults));
    return;
  }
  for (const auto& card : setup.cards) field.add(makeCard(card.uid, card.faults));
}

}  // namespace kvt::sim
