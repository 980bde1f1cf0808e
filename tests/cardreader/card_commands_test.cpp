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
  std::shared_ptr<sim::KorvexCard> card;
};

sim::KorvexMemory::Block blockOf(const std::string& hex) {
  sim::KorvexMemory::Block block{};
  for (std::size_t i = 0; i < block.size(); ++i) {
    block[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  }
  return block;
}

TEST_F(CardCommandsTest, AuthenticateWithTheDefaultKeyThenReadBlockFour) {
  card->memory().setBlock(4, blockOf("0123456789ABCDEFFEDCBA9876543210"));
  chooseBlock(4);
  click(id::AuthenticateA);
  click(id::Read);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Authentication KeyA(0x04, 0x5A17C3E90B42) --> Status: 0x0000",
                            "Read(0x04, 0x0123456789ABCDEFFEDCBA9876543210) --> Status: 0x0000",
                        }));
  EXPECT_EQ(view.text(id::Hex), "0123456789ABCDEFFEDCBA9876543210");
}

TEST_F(CardCommandsTest, AWrongKeyAndKeyBAreReportedWithTheirStatus) {
  chooseBlock(4);
  view.setText(id::KeyA, "000000000000");
  click(id::AuthenticateA);
  // The refused card has left the selected state: activate it again.
  click(id::RequestAndSelect);
  click(id::AuthenticateB);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Authentication KeyA(0x04, 0x000000000000) --> Status: 0x0201",
                            "Request(0x26, 0x0400) --> Status: 0x0000",
                            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000",
                            "Authentication KeyB(0x04, 0x5A17C3E90B42) --> Status: 0x0000",
                        }));
}

TEST_F(CardCommandsTest, FailedReadShowsZerosNotTheOldFieldOrEarlierData) {
  card->memory().setBlock(8, blockOf("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"));
  chooseBlock(8);
  click(id::AuthenticateA);
  click(id::Read);
  ASSERT_EQ(view.text(id::Hex), "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
  // Block 12 lies in a sector that is not authenticated: the card refuses to answer.
  chooseBlock(12);
  click(id::Read);
  const std::string line = lastLine();
  EXPECT_EQ(line.substr(0, 47), "Read(0x0C, 0x00000000000000000000000000000000) ");
  EXPECT_NE(line.substr(line.size() - 4), "0000");
  EXPECT_EQ(view.text(id::Hex), "00000000000000000000000000000000");
}

TEST_F(CardCommandsTest, WriteThenReadReturnsTheWrittenBytes) {
  chooseBlock(5);
  click(id::AuthenticateA);
  view.setText(id::Hex, "00112233445566778899AABBCCDDEEFF");
  click(id::Write);
  view.setText(id::Hex, "");
  click(id::Read);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Authentication KeyA(0x05, 0x5A17C3E90B42) --> Status: 0x0000",
                            "Write(0x05, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000",
                            "Read(0x05, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000",
                        }));
  EXPECT_EQ(card->memory().block(5), blockOf("00112233445566778899AABBCCDDEEFF"));
}

TEST_F(CardCommandsTest, ShortOrMalformedHexDataIsPaddedWithZeros) {
  chooseBlock(6);
  click(id::AuthenticateA);
  view.setText(id::Hex, "12G4a");  // "G4" reads as 0; missing digits count as zeros
  click(id::Write);
  EXPECT_EQ(lastLine(), "Write(0x06, 0x1200A000000000000000000000000000) --> Status: 0x0000");
  EXPECT_EQ(card->memory().block(6), blockOf("1200A000000000000000000000000000"));
}

TEST_F(CardCommandsTest, WriteKlTakesOnlyTheFirstEightDigits) {
  chooseBlock(4);
  click(id::AuthenticateA);
  // Page 17 is bytes 4..7 of block 4.
  chooseBlock(17);
  view.setText(id::Hex, "11223344AABBCCDDEEFF001122334455");
  click(id::WriteKl);
  EXPECT_EQ(lastLine(), "WriteKL(0x11, 0x11223344) --> Status: 0x0000");
  EXPECT_EQ(card->memory().block(4), blockOf("00000000112233440000000000000000"));
}

TEST_F(CardCommandsTest, ChosenBlockTenIsUsedByEveryFollowingStep) {
  chooseBlock(10);
  click(id::AuthenticateA);
  click(id::Read);
  view.setText(id::Hex, "0102030405060708090A0B0C0D0E0F10");
  click(id::Write);
  click(id::WriteKl);
  const auto lines = logLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Authentication KeyA(0x0A, 0x5A17C3E90B42) --> Status: 0x0000");
  EXPECT_EQ(lines[1].substr(0, 10), "Read(0x0A,");
  EXPECT_EQ(lines[2], "Write(0x0A, 0x0102030405060708090A0B0C0D0E0F10) --> Status: 0x0000");
  EXPECT_EQ(lines[3].substr(0, 13), "WriteKL(0x0A,");
  EXPECT_EQ(session.block, 10);
  // A list without selection keeps the block.
  chooseBlock(-1);
  EXPECT_EQ(session.block, 10);
}

TEST_F(CardCommandsTest, FieldsAreCutToTheirLimit) {
  typeInto(id::KeyA, "5A17C3E90B42F");
  EXPECT_EQ(view.text(id::KeyA), "5A17C3E90B42");
  typeInto(id::KeyB, "123456789012");
  EXPECT_EQ(view.text(id::KeyB), "123456789012");
  EXPECT_EQ(view.setTextCalls[id::KeyB], 1);  // the opening only: 12 digits are left alone
  typeInto(id::Hex, std::string(40, '7'));
  EXPECT_EQ(view.text(id::Hex), std::string(32, '7'));
  // A key longer than 12 digits that was never cut still authenticates with the first 12.
  view.setText(id::KeyA, "5A17C3E90B42999");
  chooseBlock(4);
  click(id::AuthenticateA);
  EXPECT_EQ(lastLine(), "Authentication KeyA(0x04, 0x5A17C3E90B42) --> Status: 0x0000");
}

}  // namespace
}  // namespace kvt::cardreader::test
