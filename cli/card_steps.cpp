#include "cli/card_steps.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "app/serial_ports.h"
#include "cardreader/card_actions.h"
#include "cardreader/card_opening.h"
#include "cardreader/control_ids.h"
#include "cli/card_step_record.h"
#include "platform/hex_text.h"

namespace kvt::cli {

// The steps press the card reader dialog's buttons.
using namespace cardreader;

namespace {

using Kind = CardStep::Kind;

std::string lower(std::string_view word) {
  std::string text(word);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool isHex(std::string_view text, std::size_t digits) {
  return text.size() == digits && platform::IsHexText(text);
}

std::optional<Kind> stepKind(const std::string& word) {
  static const std::pair<const char*, Kind> kinds[] = {
      {"request", Kind::Request}, {"select", Kind::Select},     {"activate", Kind::Activate},
      {"halt", Kind::Halt},       {"auth", Kind::Authenticate}, {"read", Kind::Read},
      {"write", Kind::Write},     {"writekl", Kind::WriteKl},   {"block", Kind::Block},
      {"sam", Kind::Sam}};
  for (const auto& [name, kind] : kinds) {
    if (word == name) return kind;
  }
  return std::nullopt;
}

// Reads the steps one by one; `next` is the index of the next unread word.
class StepReader {
 public:
  StepReader(std::span<const std::string> words, std::string& error)
      : words_(words), error_(error) {}

  std::optional<std::vector<CardStep>> read() {
    std::vector<CardStep> steps;
    if (words_.empty()) return fail("no card steps given");
    while (next_ < words_.size()) {
      const std::string word = lower(words_[next_++]);
      const std::optional<Kind> kind = stepKind(word);
      if (!kind) return fail("unknown card step '" + words_[next_ - 1] + "'");
      CardStep step;
      step.kind = *kind;
      if (!readArguments(word, step)) return std::nullopt;
      steps.push_back(std::move(step));
    }
    return steps;
  }

 private:
  bool readArguments(const std::string& word, CardStep& step) {
    switch (step.kind) {
      case Kind::Request:
      case Kind::Activate:
        if (peek() == "wupa" || peek() == "reqa") step.wakeUp = lower(words_[next_++]) == "wupa";
        return true;
      case Kind::Authenticate: {
        const std::string which = peek();
        if (which != "a" && which != "b") return failed("auth needs a or b");
        step.keyB = which == "b";
        ++next_;
        // An optional key: any following word that is not a step.
        if (next_ < words_.size() && !stepKind(lower(words_[next_]))) {
          if (!isHex(words_[next_], 12)) return failed("a key has 12 hex digits: " + words_[next_]);
          step.hex = words_[next_++];
        }
        return true;
      }
      case Kind::Write:
        return readHex(word, 32, step);
      case Kind::WriteKl:
        return readHex(word, 8, step);
      case Kind::Block: {
        if (next_ >= words_.size()) return failed("block needs a number 0..255");
        const std::string& text = words_[next_++];
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || value > 255) {
          return failed("block needs a number 0..255: " + text);
        }
        step.block = static_cast<uint8_t>(value);
        return true;
      }
      case Kind::Sam: {
        const std::string state = peek();
        if (state != "on" && state != "off") return failed("sam needs on or off");
        step.on = state == "on";
        ++next_;
        return true;
      }
      default:
        return true;
    }
  }

  bool readHex(const std::string& word, std::size_t digits, CardStep& step) {
    if (next_ >= words_.size() || !isHex(words_[next_], digits)) {
      return failed(word + " needs " + std::to_string(digits) + " hex digits");
    }
    step.hex = words_[next_++];
    return true;
  }

  std::string peek() const { return next_ < words_.size() ? lower(words_[next_]) : std::string(); }
  bool failed(std::string error) {
    error_ = std::move(error);
    return false;
  }
  std::nullopt_t fail(std::string error) {
    error_ = std::move(error);
    return std::nullopt;
  }

  std::span<const std::string> words_;
  std::string& error_;
  std::size_t next_ = 0;
};

chip::Status runStep(const app::DialogContext& context, CardSession& session,
                     const CardStep& step) {
  platform::View& window = *context.window;
  switch (step.kind) {
    case Kind::Request:
      window.selectItem(id::RequestCode, step.wakeUp ? 1 : 0);
      return Request(context, session);
    case Kind::Select:
      return AnticollisionSelect(context, session);
    case Kind::Activate:
      window.selectItem(id::RequestCode, step.wakeUp ? 1 : 0);
      return RequestAndSelect(context, session);
    case Kind::Halt:
      return Halt(context, session);
    case Kind::Authenticate: {
      const int field = step.keyB ? id::KeyB : id::KeyA;
      if (!step.hex.empty()) window.setText(field, step.hex);
      return Authenticate(context, session, step.keyB);
    }
    case Kind::Read:
      return ReadBlock(context, session);
    case Kind::Write:
      window.setText(id::Hex, step.hex);
      return WriteBlock(context, session);
    case Kind::WriteKl:
      window.setText(id::Hex, step.hex);
      return WriteKlPage(context, session);
    case Kind::Block:
      window.selectItem(id::Block, step.block);
      SelectBlock(context, session);
      return chip::status::Success;
    case Kind::Sam:
      window.setChecked(id::SamMode, step.on);
      SetSamMode(context);
      return chip::status::Success;
  }
  return chip::status::Success;
}

}  // namespace

std::optional<std::vector<CardStep>> ParseCardSteps(std::span<const std::string> words,
                                                    std::string& error) {
  return StepReader(words, error).read();
}

CardRunResult RunCardSteps(app::AppState& app, platform::View& window, CardSession& session,
                           std::span<const CardStep> steps, std::ostream& diagnostics,
                           bool stopAtFailure, const std::function<bool()>& stop) {
  const app::DialogContext context{app.mainWindow, &window, app.instance, 0, 0, &app};
  CardRunResult result;
  result.openingStatus = OpenCardReader(context, session, diagnostics);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    // On a lost port every later step would fail the same way at once.
    if (app::ReportLostPort(context)) break;
    if (stop && stop()) {
      result.stopped = true;
      result.skippedSteps = static_cast<int>(steps.size() - i);
      break;
    }
    if (app.events != nullptr) app.events->cardStepBegins();
    const chip::Status status = runStep(context, session, steps[i]);
    if (app.events != nullptr) {
      app.events->cardStep(MakeCardStepRecord(steps[i], session, window, status));
    }
    if (status == chip::status::Success) continue;
    if (result.failedSteps++ == 0) {
      result.firstFailedStep = static_cast<int>(i);
      result.firstFailure = status;
    }
    if (stopAtFailure) {
      result.skippedSteps = static_cast<int>(steps.size() - i - 1);
      break;
    }
  }
  app::ReportLostPort(context);
  return result;
}

}  // namespace kvt::cli
