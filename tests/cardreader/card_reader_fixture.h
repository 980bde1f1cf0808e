#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/text_format.h"
#include "cardreader/card_session.h"
#include "cardreader/control_ids.h"
#include "cardreader/korvex_reader_dialog.h"
#include "sim/korvex_card.h"
#include "sim/simulated_port.h"
#include "support/app_wiring.h"

namespace kvt::cardreader::test {

using Bytes = std::vector<uint8_t>;

// A port in front of the simulated chip that records, in order, every byte the host sends and
// every rate it sets ("W01" for a byte, "R9600" for a rate), so tests can tell at which point
// of the traffic the host changed its speed.
class RecordingPort final : public platform::SerialPort {
 public:
  explicit RecordingPort(sim::Kv380& chip) : port(chip) {}
  platform::IoResult writeByte(uint8_t byte) override {
    events.push_back(app::Format("W%02X", byte));
    return port.writeByte(byte);
  }
  platform::IoResult readByte(uint8_t& byte) override { return port.readByte(byte); }
  bool setLineSettings(uint32_t rate) override {
    events.push_back("R" + std::to_string(rate));
    return port.setLineSettings(rate);
  }
  void purge() override { port.purge(); }
  std::optional<bool> ringIndicator() override { return port.ringIndicator(); }
  bool lost() const override { return port.lost(); }

  sim::SimulatedPort port;
  std::vector<std::string> events;
};

// The application as the program wires it: the whole chip stack on an open port to the
// simulated chip, a fake main window with some old log text, and the card reader dialog on a
// fake view. The field is empty until a test puts cards there.
class CardReaderTest : public ::testing::Test, public kvt::test::AppWiring {
 protected:
  CardReaderTest() : recorder(&openPort(std::make_unique<RecordingPort>(chip))) {
    app.monospaceFont = true;
    app::AppendLog(mainContext, "old main window text", true);
  }

  std::shared_ptr<sim::KorvexCard> addCard(Bytes uid) {
    auto card = std::make_shared<sim::KorvexCard>(std::move(uid));
    chip.field().add(card);
    return card;
  }
  std::shared_ptr<sim::KorvexCard> addDefaultCard() { return addCard({0xC4, 0x3B, 0x9E, 0x12}); }

  void open() { dialog.init(view); }
  void click(int id) { dialog.command(view, id, platform::notify::Clicked); }

  // The log as lines; CR LF ends each one.
  std::vector<std::string> logLines() const {
    const std::string text = log.text();
    EXPECT_TRUE(text.empty() || text.ends_with("\r\n")) << "the log ends without CR LF";
    return kvt::test::SplitCrLf(text);
  }
  std::string lastLine() const {
    const auto lines = logLines();
    return lines.empty() ? std::string() : lines.back();
  }

  kvt::test::FakeView view;
  RecordingPort* recorder;
  app::DialogContext& mainContext = context;
  CardSession session;
  std::ostringstream diagnostics;
  KorvexReaderDialog dialog{app, session, diagnostics};
};

}  // namespace kvt::cardreader::test
