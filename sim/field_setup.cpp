#include "sim/field_setup.h"

#include <algorithm>
#include <charconv>

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

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The option's value: after '=' in the same argument, or the next argument.
struct Value {
  std::optional<std::string> text;
  int consumed = 0;
};
Value valueOf(std::span<const std::string> args, size_t index, std::string_view name) {
  const std::string& arg = args[index];
  if (arg.size() > name.size() && arg[name.size()] == '=') {
    return {arg.substr(name.size() + 1), 1};
  }
  if (index + 1 < args.size()) return {args[index + 1], 2};
  return {};
}

// The option name of `arg` without a "=value" part.
std::string_view nameOf(std::string_view arg) { return arg.substr(0, arg.find('=')); }

CardFaults& faultsOfLastCard(FieldSetup& spec) {
  if (spec.cards.empty()) {
    spec.faultsBeforeCards = true;
    return spec.defaultCardFaults;
  }
  return spec.cards.back().faults;
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
    if (hexDigit(c) < 0) return fail("UID " + quoted(text) + " is not hexadecimal");
  }
  if (text.size() != 8 && text.size() != 14 && text.size() != 20) {
    return fail("UID " + quoted(text) + " has " + std::to_string(text.size()) +
                " digits; give 8, 14 or 20 hex digits (a 4-, 7- or 10-byte UID)");
  }
  std::vector<uint8_t> uid;
  for (size_t i = 0; i < text.size(); i += 2) {
    uid.push_back(static_cast<uint8_t>(hexDigit(text[i]) << 4 | hexDigit(text[i + 1])));
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

FieldOptionResult parseFieldOption(FieldSetup& spec, std::span<const std::string> args,
                                   size_t index) {
  const std::string_view name = nameOf(args[index]);
  const bool inlineValue = name.size() != args[index].size();
  auto flag = [&](bool& target) -> FieldOptionResult {
    if (inlineValue) return {0, std::string(name) + " takes no value"};
    target = true;
    return {1, {}};
  };

  if (name == "--sim-card") {
    const Value value = valueOf(args, index, name);
    if (!value.text) return {0, "--sim-card needs a UID (8, 14 or 20 hex digits)"};
    std::string error;
    auto uid = parseUid(*value.text, &error);
    if (!uid) return {0, "--sim-card: " + error};
    for (const auto& card : spec.cards) {
      if (card.uid == *uid) return {0, "--sim-card: UID " + quoted(*value.text) + " given twice"};
    }
    spec.cards.push_back({std::move(*uid), {}});
    return {value.consumed, {}};
  }
  if (name == "--sim-empty") return flag(spec.empty);
  if (name == "--sim-wrong-bcc") return flag(faultsOfLastCard(spec).wrongBcc);
  if (name == "--sim-nak-writes") return flag(faultsOfLastCard(spec).nakWrites);
  if (name == "--sim-ack-value") return flag(faultsOfLastCard(spec).ackValueOperands);
  if (name == "--sim-leave-after") {
    const Value value = valueOf(args, index, name);
    if (!value.text) return {0, "--sim-leave-after needs a number of frames"};
    int frames = 0;
    const char* first = value.text->data();
    const char* last = first + value.text->size();
    auto [end, ec] = std::from_chars(first, last, frames);
    if (ec != std::errc() || end != last || frames < 1 || frames > kMaxLeaveAfter) {
      return {0, "--sim-leave-after: " + quoted(*value.text) +
                     " is not a number of frames from 1 to " + std::to_string(kMaxLeaveAfter)};
    }
    faultsOfLastCard(spec).leaveAfterFrames = frames;
    return {value.consumed, {}};
  }
  return {};
}

std::string checkFieldSetup(const FieldSetup& spec) {
  if (spec.empty && (!spec.cards.empty() || spec.faultsBeforeCards)) {
    return "--sim-empty leaves no card for --sim-card or a fault option";
  }
  if (spec.faultsBeforeCards && !spec.cards.empty()) {
    return "a fault option applies to the --sim-card before it; give it after that option";
  }
  return {};
}

std::shared_ptr<KorvexCard> makeDefaultCard() {
  return std::make_shared<KorvexCard>(
      std::vector<uint8_t>(std::begin(kDefaultCardUid), std::end(kDefaultCardUid)));
}

void applyFieldSetup(const FieldSetup& spec, RfField& field) {
  field.clear();
  if (spec.empty) return;
  if (spec.cards.empty()) {
    field.add(makeCard(std::vector<uint8_t>(std::begin(kDefaultCardUid), std::end(kDefaultCardUid)),
                       spec.defaultCardFaults));
    return;
  }
  for (const auto& card : spec.cards) field.add(makeCard(card.uid, card.faults));
}

}  // namespace kvt::sim
