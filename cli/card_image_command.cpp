#include "cli/card_image_command.h"

#include <array>
#include <optional>
#include <utility>

#include "app/text_format.h"
#include "cardreader/card_actions.h"
#include "cardreader/card_log.h"
#include "cardreader/card_opening.h"
#include "cardreader/control_ids.h"
#include "cli/card_step_record.h"
#include "cli/card_steps.h"
#include "cli/headless_dialog_view.h"
#include "cli/stop_signals.h"
#include "platform/hex_text.h"
#include "sim/card_image.h"
#include "sim/korvex_access.h"

namespace kvt::cli {

namespace {

namespace id = cardreader::id;
using Block = sim::KorvexMemory::Block;
using Kind = CardStep::Kind;
using sim::KorvexMemory;

constexpr char kDefaultKey[] = "5A17C3E90B42";
constexpr size_t kKeyDigits = 12;
constexpr int kExitFailed = 1;

// The step a dump or restore takes, as a listener of card steps sees it.
CardStep StepOf(Kind kind, std::string hex = {}) {
  CardStep step;
  step.kind = kind;
  step.hex = std::move(hex);
  return step;
}

struct ImageAction {
  bool dump = false;
  std::string file;
  std::string key = kDefaultKey;
};

std::optional<ImageAction> parseAction(const std::vector<std::string>& arguments,
                                       std::string& error) {
  const std::string& name = arguments[0];
  if (arguments.size() < 2 || arguments.size() > 3 || arguments[1].empty()) {
    error = "card " + name + " needs FILE and may take KEY (12 hex digits)";
    return std::nullopt;
  }
  ImageAction action{name == "dump", arguments[1]};
  if (arguments.size() == 3) {
    action.key = arguments[2];
    if (action.key.size() != kKeyDigits || !platform::IsHexText(action.key)) {
      error = "card " + name + ": KEY must be 12 hex digits, not '" + action.key + "'";
      return std::nullopt;
    }
  }
  return action;
}

// Walks the card sector by sector through the card reader's steps, each sector opened with
// key A. A failed step leaves a real card unselected, so the next block activates the card
// again; a sector whose key was refused is not tried twice.
class SectorWalk {
 public:
  SectorWalk(Session& session, const std::string& key)
      : app_(session.state()),
        dialog_(session.window(), id::LogPane),
        context_{app_.mainWindow, &dialog_, app_.instance, 0, 0, &app_},
        key_(key) {
    app_.monospaceFont = true;  // a console shows every pane in a fixed-pitch font
    if (cardreader::OpenCardReader(context_, card_, session.err()) != 0) ++failures_;
    dialog_.setText(id::KeyA, key_);
  }

  // Activates the card; false when none answered.
  bool activate() {
    selected_ = told(StepOf(Kind::Activate), [this] {
                  return cardreader::RequestAndSelect(context_, card_);
                }) == chip::status::Success;
    return selected_;
  }

  // Reads `block` into `data`; false (data untouched) when the card did not give it.
  bool read(int block, Block& data) {
    if (!openSectorOf(block)) return false;
    card_.block = static_cast<uint8_t>(block);
    if (!succeeded(
            told(StepOf(Kind::Read), [this] { return cardreader::ReadBlock(context_, card_); }))) {
      return false;
    }
    platform::HexTextToBytes(dialog_.text(id::Hex), data);
    return true;
  }

  bool write(int block, const Block& data) {
    if (!openSectorOf(block)) return false;
    card_.block = static_cast<uint8_t>(block);
    const std::string hex = platform::BytesToHex(data);
    dialog_.setText(id::Hex, hex);
    return succeeded(
        told(StepOf(Kind::Write, hex), [this] { return cardreader::WriteBlock(context_, card_); }));
  }

  void log(const std::string& line) { cardreader::AppendCardLog(context_, line); }
  // A block that failed: a line in the log, and one failure more for --strict.
  void note(const std::string& line) {
    log(line);
    ++failures_;
  }
  int failures() const { return failures_; }

 private:
  bool openSectorOf(int block) {
    const int sector = KorvexMemory::sectorOf(block);
    if (sector == refusedSector_) return false;
    if (selected_ && openSector_ == sector) return true;
    openSector_ = -1;
    if (!selected_ && !activate()) return false;
    card_.block = static_cast<uint8_t>(KorvexMemory::trailerOf(sector));
    if (!succeeded(told(StepOf(Kind::Authenticate, key_),
                        [this] { return cardreader::Authenticate(context_, card_, false); }))) {
      refusedSector_ = sector;
      return false;
    }
    openSector_ = sector;
    return true;
  }

  // Runs one of the card reader's steps, told to the run's listener (--json) as the step it
  // is, with the lines it logged.
  template <typename Action>
  chip::Status told(const CardStep& step, Action action) {
    if (app_.events != nullptr) app_.events->cardStepBegins();
    const chip::Status status = action();
    if (app_.events != nullptr) {
      app_.events->cardStep(MakeCardStepRecord(step, card_, dialog_, status));
    }
    return status;
  }

  bool succeeded(chip::Status status) {
    if (status == chip::status::Success) return true;
    selected_ = false;
    return false;
  }

  app::AppState& app_;
  HeadlessDialogView dialog_;
  app::DialogContext context_;
  cardreader::CardSession card_;
  std::string key_;
  bool selected_ = false;
  int openSector_ = -1;
  int refusedSector_ = -1;
  int failures_ = 0;
};

// A Ctrl-C or SIGTERM ended the copy early: a failure under --strict.
void interrupted(Session& session, const char* action, const std::string& outcome) {
  ++session.tally().failedLines;
  session.err() << "kvt-cli: " << action << " was interrupted; " << outcome << "\n";
}

int dump(Session& session, const ImageAction& action) {
  SectorWalk walk(session, action.key);
  if (!walk.activate()) {
    session.err() << "kvt-cli: card dump: no card answered; " << action.file << " not written\n";
    return kExitFailed;
  }
  std::array<Block, KorvexMemory::kBlocks> blocks{};
  std::array<uint8_t, 6> key{};
  platform::HexTextToBytes(action.key, key);
  int read = 0;
  for (int block = 0; block < KorvexMemory::kBlocks; ++block) {
    // An image of part of the card must not replace a whole one.
    if (StopSignals::requested()) {
      interrupted(session, "card dump", action.file + " not written");
      return kExitFailed;
    }
    if (!walk.read(block, blocks[block])) {
      walk.note(app::Format("Block 0x%02X not read: zeros in the image", block));
      continue;
    }
    ++read;
    // Key A never reads back; the key that opened the sector is it.
    if (KorvexMemory::isTrailer(block)) std::copy(key.begin(), key.end(), blocks[block].begin());
  }
  std::string error;
  if (!sim::saveCardImage(action.file, KorvexMemory(blocks), error)) {
    session.err() << "kvt-cli: card dump: " << error << "\n";
    return kExitFailed;
  }
  walk.log(app::Format("Card image %s: %d of 64 blocks read", action.file.c_str(), read));
  session.countCardFailures(walk.failures());
  return 0;
}

int restore(Session& session, const ImageAction& action) {
  std::string error;
  const auto image = sim::readCardImageBytes(action.file, error);
  if (!image) {
    session.err() << "kvt-cli: card restore: " << error << "\n";
    return kExitFailed;
  }
  SectorWalk walk(session, action.key);
  if (!walk.activate()) {
    session.err() << "kvt-cli: card restore: no card answered; nothing written\n";
    return kExitFailed;
  }
  const bool trailers = session.options().trailers;
  int written = 0;
  // Block 0 is the maker's; a trailer goes last in its sector, as new keys would shut the rest.
  for (int block = 1; block < KorvexMemory::kBlocks; ++block) {
    if (StopSignals::requested()) {
      interrupted(session, "card restore", app::Format("%d blocks written", written));
      break;
    }
    if (KorvexMemory::isTrailer(block) && !trailers) continue;
    Block data;
    std::copy_n(image->begin() + block * KorvexMemory::kBlockSize, data.size(), data.begin());
    // A card takes broken access bits and blocks the sector for good (a sector that could not
    // be dumped is all zeros in the image).
    if (KorvexMemory::isTrailer(block) && sim::SectorAccess(data).blocked()) {
      walk.note(
          app::Format("Block 0x%02X not written: its access bits would block the sector", block));
      continue;
    }
    if (walk.write(block, data)) {
      ++written;
    } else {
      walk.note(app::Format("Block 0x%02X not written", block));
    }
  }
  walk.log(app::Format("Card image %s: %d blocks written", action.file.c_str(), written));
  session.countCardFailures(walk.failures());
  return 0;
}

}  // namespace

bool IsCardImageAction(const std::vector<std::string>& arguments) {
  return !arguments.empty() && (arguments[0] == "dump" || arguments[0] == "restore");
}

std::string CheckCardImageAction(const std::vector<std::string>& arguments) {
  std::string error;
  return parseAction(arguments, error) ? std::string() : error;
}

int RunCardImageAction(Session& session, const std::vector<std::string>& arguments) {
  std::string error;
  const auto action = parseAction(arguments, error);
  if (!action) {
    session.err() << "kvt-cli: " << error << "\n";
    return 2;
  }
  return action->dump ? dump(session, *action) : restore(session, *action);
}

}  // namespace kvt::cli
