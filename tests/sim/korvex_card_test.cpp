#include "sim/korvex_card.h"

#include <gtest/gtest.h>

#include "air_helpers.h"

namespace kvt::sim {
namespace {

using namespace kvt::sim::test;
using Bytes = std::vector<uint8_t>;
using Block = KorvexMemory::Block;

constexpr uint8_t kAck = 0x0A;

// A selected card; helpers speak to it the way the chip would (CRC appended).
class KorvexCardTest : public ::testing::Test {
 protected:
  explicit KorvexCardTest(Bytes uid = {0xC4, 0x3B, 0x9E, 0x12}) : card(std::move(uid)) { select(); }
  void select() {
    card.receive(reqa());
    for (int l = 0; l < card.cascadeLevels(); ++l) {
      card.receive(selectFrame(0x93 + 2 * l, card.levelSerial(l)));
    }
    ASSERT_EQ(card.state(), Iso14443ACard::State::Active);
  }
  bool auth(uint8_t kind, uint8_t block, const KorvexCard::Key& key = KorvexCard::kDefaultKey) {
    std::array<uint8_t, 12> b{kind, block};
    std::copy(key.begin(), key.end(), b.begin() + 2);
    const auto serial = card.levelSerial(0);
    std::copy(serial.begin(), serial.end(), b.begin() + 8);
    return card.authenticate(b.data());
  }
  std::optional<AirFrame> send(Bytes payload) { return card.receive(frameWithCrc(payload)); }
  // The 4-bit answer of the card, or -1 for anything else.
  int nibbleOf(const std::optional<AirFrame>& answer) {
    if (!answer || answer->bitCount != 4) return -1;
    return answer->bytes[0];
  }
  Bytes read(uint8_t block) {
    auto answer = send({0x30, block});
    if (!answer) return {};
    auto payload = payloadIfCrcOk(*answer);
    return payload ? *payload : Bytes{};
  }

  KorvexCard card;
};

TEST_F(KorvexCardTest, ManufacturerBlockAndTrailersOfANewCard) {
  ASSERT_TRUE(auth(0x60, 0));
  EXPECT_EQ(read(0), (Bytes{0xC4, 0x3B, 0x9E, 0x12, 0xC4 ^ 0x3B ^ 0x9E ^ 0x12, 0x08, 0x04, 0x00,
                            0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68}));
  // Key A never reads back; access bits and key B do.
  EXPECT_EQ(read(3),
            (Bytes{0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42}));
  EXPECT_EQ(card.memory().keyA(15), KorvexCard::kDefaultKey);
}

TEST_F(KorvexCardTest, AuthenticationOpensOnlyTheSectorOfTheBlock) {
  EXPECT_EQ(nibbleOf(send({0x30, 0x04})), 0x4);  // not authenticated
  ASSERT_TRUE(auth(0x61, 0x04));
  EXPECT_EQ(card.authenticatedSector(), 1);
  EXPECT_EQ(read(0x07).size(), 16u);
  EXPECT_EQ(nibbleOf(send({0x30, 0x08})), 0x4);  // sector 2
  EXPECT_EQ(nibbleOf(send({0x30, 0x40})), 0x4);  // beyond the card
  card.cryptoOff();                              // the chip switched its crypto unit off
  EXPECT_EQ(nibbleOf(send({0x30, 0x04})), 0x4);
}

TEST_F(KorvexCardTest, AuthenticationChecksKeyAndSerialNumber) {
  KorvexCard::Key other{1, 2, 3, 4, 5, 6};
  card.memory().setKeys(1, other, KorvexCard::kDefaultKey);
  std::array<uint8_t, 12> block{0x60, 0x04, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0};  // wrong serial
  EXPECT_FALSE(card.authenticate(block.data()));
  EXPECT_EQ(card.state(), Iso14443ACard::State::Active);
  EXPECT_TRUE(auth(0x60, 0x04, other));
  EXPECT_TRUE(auth(0x61, 0x04));
  // A wrong key leaves the card unselected, as a real card does.
  EXPECT_FALSE(auth(0x61, 0x04, other));
  EXPECT_EQ(card.state(), Iso14443ACard::State::Idle);
  EXPECT_FALSE(card.authenticatedSector());
  EXPECT_FALSE(auth(0x60, 0x04, other));  // not selected any more
}

TEST_F(KorvexCardTest, TwoPhaseWriteAndDamagedDataPhase) {
  ASSERT_TRUE(auth(0x60, 0x04));
  Bytes data(16);
  for (int i = 0; i < 16; ++i) data[i] = uint8_t(0xF0 + i);
  EXPECT_EQ(nibbleOf(send({0xA0, 0x05})), kAck);
  EXPECT_EQ(nibbleOf(send(data)), kAck);
  EXPECT_EQ(read(0x05), data);

  EXPECT_EQ(nibbleOf(send({0xA0, 0x05})), kAck);
  auto damaged = frameWithCrc(Bytes(16, 0x11));
  damaged.bytes[17] ^= 0x80;
  EXPECT_EQ(nibbleOf(card.receive(damaged)), 0x5);
  EXPECT_EQ(read(0x05), data);  // unchanged
  EXPECT_EQ(nibbleOf(send({0xA0, 0x05})), kAck);
  EXPECT_EQ(nibbleOf(send(Bytes(4, 0x11))), 0x5);  // wrong length for a block

  EXPECT_EQ(nibbleOf(send({0xA0, 0x08})), 0x4);  // other sector
}

TEST_F(KorvexCardTest, ManufacturerBlockIsReadOnlyAndTrailersTakeNewKeys) {
  ASSERT_TRUE(auth(0x60, 0x00));
  EXPECT_EQ(nibbleOf(send({0xA0, 0x00})), 0x4);
  EXPECT_EQ(nibbleOf(send({0xA0, 0x03})), kAck);
  Bytes trailer{1, 2, 3, 4, 5, 6, 0xFF, 0x07, 0x80, 0x69, 6, 5, 4, 3, 2, 1};
  EXPECT_EQ(nibbleOf(send(trailer)), kAck);
  EXPECT_EQ(card.memory().keyA(0), (KorvexCard::Key{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(card.memory().keyB(0), (KorvexCard::Key{6, 5, 4, 3, 2, 1}));
}

TEST_F(KorvexCardTest, PageWriteChangesFourBytesOfTheBlock) {
  ASSERT_TRUE(auth(0x60, 0x04));
  // Page 0x16 is bytes 8..11 of block 5.
  EXPECT_EQ(nibbleOf(send({0xA2, 0x16, 0xDE, 0xAD, 0xBE, 0xEF})), kAck);
  Bytes expected(16, 0);
  expected[8] = 0xDE, expected[9] = 0xAD, expected[10] = 0xBE, expected[11] = 0xEF;
  EXPECT_EQ(read(0x05), expected);
  EXPECT_EQ(nibbleOf(send({0xA2, 0x1C, 1, 2, 3, 4})), 0x4);  // a page of the trailer
  EXPECT_EQ(nibbleOf(send({0xA2, 0x16, 1, 2, 3})), 0x4);     // short page
}

TEST_F(KorvexCardTest, ValueCommandsGoThroughTheTransferBuffer) {
  ASSERT_TRUE(auth(0x60, 0x04));
  card.memory().setBlock(5, KorvexMemory::encodeValue(100, 5));
  EXPECT_EQ(nibbleOf(send({0xC0, 0x05})), kAck);
  EXPECT_FALSE(send({7, 0, 0, 0}));  // the operand is not acknowledged
  EXPECT_EQ(KorvexMemory::decodeValue(card.memory().block(5)), 100);  // not yet transferred
  EXPECT_EQ(nibbleOf(send({0xB0, 0x06})), kAck);  // transfer to another block of the sector
  EXPECT_EQ(KorvexMemory::decodeValue(card.memory().block(6)), 93);
  EXPECT_EQ(card.memory().block(6)[12], 6);      // a fresh value block gets its own address
  EXPECT_EQ(nibbleOf(send({0xB0, 0x06})), 0x4);  // nothing left to transfer

  EXPECT_EQ(nibbleOf(send({0xC1, 0x05})), kAck);
  EXPECT_FALSE(send({0x00, 0x01, 0, 0}));  // + 256
  EXPECT_EQ(nibbleOf(send({0xB0, 0x05})), kAck);
  EXPECT_EQ(KorvexMemory::decodeValue(card.memory().block(5)), 356);

  EXPECT_EQ(nibbleOf(send({0xC2, 0x06})), kAck);
  EXPECT_FALSE(send({0, 0, 0, 0}));
  EXPECT_EQ(nibbleOf(send({0xB0, 0x04})), kAck);  // restore: copy block 6 into block 4
  EXPECT_EQ(KorvexMemory::decodeValue(card.memory().block(4)), 93);

  EXPECT_EQ(nibbleOf(send({0xC0, 0x07})), 0x4);  // the trailer is no value block
}

TEST_F(KorvexCardTest, ValueCommandsNeedValueFormatAndRefuseOverflow) {
  ASSERT_TRUE(auth(0x60, 0x04));
  EXPECT_EQ(nibbleOf(send({0xC1, 0x05})), 0x4);  // zeros are not a value block
  card.memory().setBlock(5, KorvexMemory::encodeValue(INT32_MAX, 5));
  EXPECT_EQ(nibbleOf(send({0xC1, 0x05})), kAck);
  EXPECT_FALSE(send({1, 0, 0, 0}));
  EXPECT_EQ(nibbleOf(send({0xB0, 0x05})), 0x4);
  EXPECT_EQ(KorvexMemory::decodeValue(card.memory().block(5)), INT32_MAX);
}

TEST(KorvexMemoryTest, ValueBlockFormatIsCheckedByteForByte) {
  const Block b = KorvexMemory::encodeValue(-2, 0x09);
  EXPECT_EQ(b, (Block{0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x09,
                      0xF6, 0x09, 0xF6}));
  EXPECT_EQ(KorvexMemory::decodeValue(b), -2);
  for (int i = 0; i < 16; ++i) {
    Block damaged = b;
    damaged[i] ^= 0x10;
    EXPECT_FALSE(KorvexMemory::decodeValue(damaged)) << "byte " << i;
  }
}

TEST_F(KorvexCardTest, FaultsNakWritesAndAcknowledgeOperands) {
  ASSERT_TRUE(auth(0x60, 0x04));
  card.memory().setBlock(5, KorvexMemory::encodeValue(10, 5));
  card.setAckValueOperands(true);
  EXPECT_EQ(nibbleOf(send({0xC1, 0x05})), kAck);
  EXPECT_EQ(nibbleOf(send({1, 0, 0, 0})), kAck);
  card.setNakWrites(true);
  EXPECT_EQ(nibbleOf(send({0xA0, 0x05})), 0x4);
  EXPECT_EQ(nibbleOf(send({0xA2, 0x14, 1, 2, 3, 4})), 0x4);
  EXPECT_EQ(nibbleOf(send({0xB0, 0x05})), 0x4);
  EXPECT_EQ(read(0x05).size(), 16u);  // reading still works
}

TEST_F(KorvexCardTest, DamagedOrUnknownCommandsAreRefused) {
  ASSERT_TRUE(auth(0x60, 0x04));
  EXPECT_EQ(nibbleOf(card.receive(AirFrame::fromBytes({0x30, 0x04}))), 0x5);  // no CRC
  EXPECT_EQ(nibbleOf(send({0x42, 0x04})), 0x4);
  // Halt ends the authentication.
  EXPECT_FALSE(card.receive(haltFrame()));
  EXPECT_FALSE(card.authenticatedSector());
}

class SevenByteKorvexCardTest : public KorvexCardTest {
 protected:
  SevenByteKorvexCardTest() : KorvexCardTest({0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6}) {}
};

TEST_F(SevenByteKorvexCardTest, ReaderNamesTheCardByItsFirstLevelBytes) {
  EXPECT_EQ(card.atqa(), (std::array<uint8_t, 2>{0x44, 0x00}));
  ASSERT_TRUE(auth(0x60, 0x00));  // 88 04 51 62
  EXPECT_EQ(read(0), (Bytes{0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6, 0x73 ^ 0x84 ^ 0x95 ^ 0xA6,
                            0x08, 0x44, 0x00, 0x61, 0x62, 0x63, 0x64, 0x65}));
}

}  // namespace
}  // namespace kvt::sim
