#include "sim/iso14443a_card.h"

#include <gtest/gtest.h>

#include <memory>

#include "air_helpers.h"

namespace kvt::sim {
namespace {

using namespace kvt::sim::test;
using State = Iso14443ACard::State;
using Serial = std::array<uint8_t, 4>;

const Serial kUid4 = {0x11, 0x22, 0x33, 0x44};

// A card woken by REQA and selected at its only level.
std::unique_ptr<Iso14443ACard> selectedCard() {
  auto card = std::make_unique<Iso14443ACard>(Bytes(kUid4.begin(), kUid4.end()));
  EXPECT_TRUE(card->receive(reqa()));
  EXPECT_TRUE(card->receive(selectFrame(0x93, kUid4)));
  EXPECT_EQ(card->state(), State::Active);
  return card;
}

// Activation of each UID size, collisions, BCC and halting are tested through the reader stack
// on the simulated chip; here the card's own rules.
TEST(Iso14443ACardTest, AtqaFollowsTheUidSize) {
  EXPECT_EQ(Iso14443ACard(hex("DE AD BE EF")).receive(reqa())->bytes, hex("04 00"));
  EXPECT_EQ(Iso14443ACard(hex("04 51 62 73 84 95 A6")).receive(reqa())->bytes, hex("44 00"));
  EXPECT_EQ(Iso14443ACard(hex("01 02 03 04 05 06 07 08 09 0A")).receive(reqa())->bytes,
            hex("84 00"));
  EXPECT_THROW(Iso14443ACard({1, 2, 3}), std::invalid_argument);
}

TEST(Iso14443ACardTest, HaltNeedsSelectionAndItsCrcAndOnlyWupaWakesTheCard) {
  Iso14443ACard ready(Bytes(kUid4.begin(), kUid4.end()));
  ASSERT_TRUE(ready.receive(reqa()));
  EXPECT_FALSE(ready.receive(haltFrame()));  // not selected: a protocol error
  EXPECT_EQ(ready.state(), State::Idle);

  auto card = selectedCard();
  EXPECT_FALSE(card->receive(AirFrame::fromBytes({0x50, 0x00})));  // no CRC: not a halt
  auto damaged = haltFrame();
  damaged.bytes[3] ^= 0x01;
  EXPECT_FALSE(card->receive(damaged));
  EXPECT_EQ(card->state(), State::Active);
  EXPECT_FALSE(card->receive(haltFrame()));
  EXPECT_EQ(card->state(), State::Halt);
  EXPECT_FALSE(card->receive(reqa()));
  EXPECT_EQ(card->state(), State::Halt);
  EXPECT_EQ(card->receive(wupa())->bytes, (Bytes{0x04, 0x00}));
  EXPECT_EQ(card->state(), State::Ready);
  // Woken from halt, a protocol error sends it back to halt, not to idle.
  EXPECT_FALSE(card->receive(AirFrame::fromBytes({0x30, 0x04})));
  EXPECT_EQ(card->state(), State::Halt);
}

TEST(Iso14443ACardTest, SelectIgnoresDamagedFramesOtherSerialsAndOtherLevels) {
  Iso14443ACard card(Bytes(kUid4.begin(), kUid4.end()));
  ASSERT_TRUE(card.receive(reqa()));
  auto damaged = selectFrame(0x93, kUid4);
  damaged.bytes[7] ^= 0x40;
  EXPECT_FALSE(card.receive(damaged));
  EXPECT_FALSE(card.receive(selectFrame(0x93, {0x11, 0x22, 0x33, 0x45})));
  EXPECT_FALSE(card.receive(selectFrame(0x95, kUid4)));
  EXPECT_EQ(card.state(), State::Ready);
}

TEST(Iso14443ACardTest, AnticollisionAnswersOnlyMatchingKnownBitsFromTheSplit) {
  const Serial serial = {0xA5, 0x3C, 0x0F, 0x71};
  Iso14443ACard card(Bytes(serial.begin(), serial.end()));
  ASSERT_TRUE(card.receive(reqa()));
  const Bytes all{0xA5, 0x3C, 0x0F, 0x71, chip::bcc(serial.data())};
  // 12 known bits that match: the card sends bits 12..39.
  auto answer = card.receive(anticollisionFrame(0x93, serial, 12));
  ASSERT_TRUE(answer);
  ASSERT_EQ(answer->bitCount, 28u);
  for (size_t i = 0; i < 28; ++i) {
    EXPECT_EQ(answer->bit(i), bool((all[(12 + i) / 8] >> ((12 + i) % 8)) & 1)) << i;
  }
  // One known bit that differs: silence, still ready.
  Serial other = serial;
  other[1] ^= 0x08;
  EXPECT_FALSE(card.receive(anticollisionFrame(0x93, other, 12)));
  EXPECT_EQ(card.state(), State::Ready);
  // An NVB that does not fit the frame length is ignored.
  auto wrongLength = anticollisionFrame(0x93, serial, 12);
  wrongLength.bitCount -= 1;
  EXPECT_FALSE(card.receive(wrongLength));
  // All 32 bits known: only the check byte comes back.
  EXPECT_EQ(card.receive(anticollisionFrame(0x93, serial, 32))->bytes, (Bytes{all[4]}));
}

TEST(RfFieldCardsTest, FieldResetBringsHaltedCardsBackToIdle) {
  RfField field;
  std::shared_ptr<Iso14443ACard> card = selectedCard();
  field.add(card);
  EXPECT_TRUE(field.exchange(haltFrame()).empty());
  EXPECT_TRUE(field.exchange(reqa()).empty());
  field.fieldReset();
  EXPECT_EQ(card->state(), State::Idle);
  EXPECT_EQ(field.exchange(reqa()).size(), 1u);
}

}  // namespace
}  // namespace kvt::sim
