#include "cli/card_step_record.h"

#include <cctype>
#include <span>

#include "cardreader/control_ids.h"
#include "platform/hex_text.h"

namespace kvt::cli {

namespace {

using Kind = CardStep::Kind;

// ISO 14443-3: a level whose first byte is this tag has more levels after it.
constexpr uint8_t kCascadeTag = 0x88;

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

const char* stepName(Kind kind) {
  switch (kind) {
    case Kind::Request:
      return "request";
    case Kind::Select:
      return "select";
    case Kind::Activate:
      return "activate";
    case Kind::Halt:
      return "halt";
    case Kind::Authenticate:
      return "auth";
    case Kind::Read:
      return "read";
    case Kind::Write:
      return "write";
    case Kind::WriteKl:
      return "writekl";
    case Kind::Block:
      return "block";
    case Kind::Sam:
      return "sam";
  }
  return "";
}

std::string parameters(const CardStep& step, const platform::View& window) {
  switch (step.kind) {
    case Kind::Request:
    case Kind::Activate:
      return step.wakeUp ? "wupa" : "reqa";
    case Kind::Authenticate:
      return std::string(step.keyB ? "b " : "a ") +
             window.text(step.keyB ? cardreader::id::KeyB : cardreader::id::KeyA);
    case Kind::Write:
    case Kind::WriteKl:
      return upper(step.hex);
    case Kind::Block:
      return std::to_string(step.block);
    case Kind::Sam:
      return step.on ? "on" : "off";
    default:
      return {};
  }
}

}  // namespace

std::string SelectedUid(const cardreader::CardSession& session) {
  const std::span<const uint8_t> serial(session.serial);
  if (serial[0] != kCascadeTag) return platform::BytesToHex(serial.subspan(0, 4));
  if (serial[4] != kCascadeTag) {
    return platform::BytesToHex(serial.subspan(1, 3)) + platform::BytesToHex(serial.subspan(4, 4));
  }
  return platform::BytesToHex(serial.subspan(1, 3)) + platform::BytesToHex(serial.subspan(5, 3)) +
         platform::BytesToHex(serial.subspan(8, 4));
}

app::CardStepRecord MakeCardStepRecord(const CardStep& step, const cardreader::CardSession& session,
                                       const platform::View& window, chip::Status status) {
  app::CardStepRecord record;
  record.name = stepName(step.kind);
  record.parameters = parameters(step, window);
  record.status = status;
  const bool selects = step.kind == Kind::Select || step.kind == Kind::Activate;
  if (selects && status == chip::status::Success) record.uid = SelectedUid(session);
  const bool onBlock = step.kind == Kind::Authenticate || step.kind == Kind::Read ||
                       step.kind == Kind::Write || step.kind == Kind::WriteKl;
  if (onBlock) record.block = session.block;
  if (step.kind == Kind::Read) record.data = window.text(cardreader::id::Hex);
  if (step.kind == Kind::Write || step.kind == Kind::WriteKl) record.data = upper(step.hex);
  return record;
}

}  // namespace kvt::cli
