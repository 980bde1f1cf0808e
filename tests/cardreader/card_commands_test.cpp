// Authentication, read and the writes from the card reader dialog against a simulated card.
#include <gtest/gtest.h>

#include "card_reader_fixture.h"

namespace kvt::cardreader::test {
namespace {

class CardCommandsTest : public CardReaderTest {
 protected:
  CardCommandsTest() {
    card = addDefaultCard();
    open();
    click(id::RequestAndSelect);
    clearLog();
  }
  // Chooses `block` and authenticates it with the key A field.
  void authenticate(int block) {
    choose(id::Block, block);
    click(id::AuthenticateA);
  }
  std::shared_ptr<sim::KorvexCard> card;
};

sim::KorvexMemory::Block blockOf(const std::string& hex) {
  sim::KorvexMemory::Block block{};
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  }
  return block;
}

TEST_F(CardCommandsTest, AuthenticateWithTheDefaultKeyReadBlockFourWriteItAndReadItBack) {
  card->memory().setBlock(4, blockOf("0123456789ABCDEFFEDCBA9876543210"));
  authenticate(4);
  click(id::Read);
  EXPECT_EQ(view.text(id::Hex), "0123456789ABCDEFFEDCBA9876543210");
  view.setText(id::Hex, "00112233445566778899AABBCCDDEEFF");
  click(id::Write);
  view.setText(id::Hex, "");
  click(id::Read);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Authentication KeyA(0x04, 0x5A17C3E90B42) --> Status: 0x0000",
                            "Read(0x04, 0x0123456789ABCDEFFEDCBA9876543210) --> Status: 0x0000",
                            "Write(0x04, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000",
                            "Read(0x04, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000",
                        }));
  EXPECT_EQ(view.text(id::Hex), "00112233445566778899AABBCCDDEEFF");
  EXPECT_EQ(card->memory().block(4), blockOf("00112233445566778899AABBCCDDEEFF"));
}

TEST_F(CardCommandsTest, FailedReadShowsZerosNotTheOldFieldOrEarlierData) {
  card->memory().setBlock(8, blockOf("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"));
  authenticate(8);
  click(id::Read);
  ASSERT_EQ(view.text(id::Hex), "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
  // Block 12 lies in a sector that is not authenticated: the card refuses to answer.
  choose(id::Block, 12);
  click(id::Read);
  const std::string line = lastLine();
  EXPECT_EQ(line.substr(0, 47), "Read(0x0C, 0x00000000000000000000000000000000) ");
  EXPECT_NE(line.substr(line.size() - 4), "0000");
  EXPECT_EQ(view.text(id::Hex), "00000000000000000000000000000000");
}

TEST_F(CardCommandsTest, WriteKlTakesOnlyTheFirstEightDigits) {
  authenticate(4);
  choose(id::Block, 17);  // page 17 is bytes 4..7 of block 4
  view.setText(id::Hex, "11223344AABBCCDDEEFF001122334455");
  click(id::WriteKl);
  EXPECT_EQ(lastLine(), "WriteKL(0x11, 0x11223344) --> Status: 0x0000");
  EXPECT_EQ(card->memory().block(4), blockOf("00000000112233440000000000000000"));
}

TEST_F(CardCommandsTest, ChosenBlockTenShowsAs0x0AAndAListWithoutSelectionKeepsIt) {
  authenticate(10);
  EXPECT_EQ(lastLine(), "Authentication KeyA(0x0A, 0x5A17C3E90B42) --> Status: 0x0000");
  choose(id::Block, -1);
  view.setText(id::Hex, "0102030405060708090A0B0C0D0E0F10");
  click(id::Write);
  EXPECT_EQ(lastLine(), "Write(0x0A, 0x0102030405060708090A0B0C0D0E0F10) --> Status: 0x0000");
}

TEST_F(CardCommandsTest, FieldsAreCutToTheirLimit) {
  typeInto(id::KeyA, "5A17C3E90B42F");
  EXPECT_EQ(view.text(id::KeyA), "5A17C3E90B42");
  typeInto(id::KeyB, "123456789012");
  EXPECT_EQ(view.setTextCalls[id::KeyB], 1);  // the opening only: 12 digits are left alone
  typeInto(id::Hex, std::string(40, '7'));
  EXPECT_EQ(view.text(id::Hex), std::string(32, '7'));
  // A key longer than 12 digits that was never cut still authenticates with the first 12.
  view.setText(id::KeyA, "5A17C3E90B42999");
  authenticate(4);
  EXPECT_EQ(lastLine(), "Authentication KeyA(0x04, 0x5A17C3E90B42) --> Status: 0x0000");
}

}  // namespace
}  // namespace kvt::cardreader::test
