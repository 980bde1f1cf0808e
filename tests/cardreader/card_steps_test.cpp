// Plays every step file of tests/cardreader/steps against the card reader dialog on the
// simulated chip (see support/dialog_script.h). Card verbs: card UID, field-clear, disconnect,
// memory BLOCK HEX, and the checks block-is BLOCK HEX and sak HH.
#include <gtest/gtest.h>

#include "card_reader_fixture.h"
#include "support/dialog_script.h"

namespace kvt::cardreader::test {
namespace {

const std::filesystem::path kSteps =
    std::filesystem::path(KVT_SOURCE_DIR) / "tests/cardreader/steps";

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

class CardSteps : public CardReaderTest, public ::testing::WithParamInterface<std::string> {
 protected:
  void extra(const std::string& verb, std::istringstream& args) {
    std::string hex;
    int block = 0;
    if (verb == "card" && args >> hex) {
      card = addCard(FromHex(hex));
    } else if (verb == "field-clear") {
      chip.field().clear();
    } else if (verb == "disconnect") {
      recorder->port.disconnect();
    } else if (verb == "memory" && args >> block >> hex) {
      sim::KorvexMemory::Block data{};
      std::ranges::copy(FromHex(hex), data.begin());
      card->memory().setBlock(block, data);
    } else if (verb == "block-is" && args >> block >> hex) {
      const auto& data = card->memory().block(block);
      EXPECT_EQ(Bytes(data.begin(), data.end()), FromHex(hex));
    } else if (verb == "sak" && args >> hex) {
      EXPECT_EQ(session.sak, FromHex(hex)[0]);
    } else {
      ADD_FAILURE() << "unknown step";
    }
  }
  std::shared_ptr<sim::KorvexCard> card;
};

TEST_P(CardSteps, LogAndControlsMatchTheFile) {
  kvt::test::DialogScript(*this, dialog, view)
      .run(kSteps / (GetParam() + ".card"),
           [this](const std::string& verb, std::istringstream& args) { extra(verb, args); });
}

INSTANTIATE_TEST_SUITE_P(Files, CardSteps,
                         ::testing::ValuesIn(kvt::test::ScriptNames(kSteps, ".card")),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kvt::cardreader::test
