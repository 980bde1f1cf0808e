#include "sim/iso14443a_card.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "air_helpers.h"

namespace kvt::sim {
namespace {

using namespace kvt::sim::test;
using Bytes = std::vector<uint8_t>;
using State = Iso14443ACard::State;

constexpr uint8_t kSel[] = {0x93, 0x95, 0x97};

TEST(Iso14443ACardTest, AtqaAndCascadeLevelsFollowTheUidSize) {
  Iso14443ACard single({0x11, 0x22, 0x33, 0x44});
  Iso14443ACard dbl({1, 2, 3, 4, 5, 6, 7});
  Iso14443ACard triple({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  EXPECT_EQ(single.receive(reqa())->bytes, (Bytes{0x04, 0x00}));
  EXPECT_EQ(dbl.receive(reqa())->bytes, (Bytes{0x44, 0x00}));
  EXPECT_EQ(triple.receive(reqa())->bytes, (Bytes{0x84, 0x00}));
  EXPECT_EQ(triple.levelSerial(0), (std::array<uint8_t, 4>{0x88, 1, 2, 3}));
  EXPECT_EQ(triple.levelSerial(1), (std::array<uint8_t, 4>{0x88, 4, 5, 6}));
  EXPECT_EQ(triple.levelSerial(2), (std::array<uint8_t, 4>{7, 8, 9, 10}));
  EXPECT_THROW(Iso14443ACard({1, 2, 3}), std::invalid_argument);
}

class CascadeTest : public ::testing::TestWithParam<Bytes> {};

TEST_P(CascadeTest, EveryLevelAnswersItsSerialAndSak) {
  Iso14443ACard card(GetParam(), 0x20);
  ASSERT_TRUE(card.receive(reqa()));
  for (int l = 0; l < card.cascadeLevels(); ++l) {
    const auto serial = card.levelSerial(l);
    auto answer = card.receive(anticollisionFrame(kSel[l], serial, 0));
    ASSERT_TRUE(answer) << "level " << l;
    EXPECT_EQ(answer->bitCount, 40u);
    EXPECT_EQ(answer->bytes,
              (Bytes{serial[0], serial[1], serial[2], serial[3], chip::bcc(serial.data())}));
    auto sak = card.receive(selectFrame(kSel[l], serial));
    ASSERT_TRUE(sak);
    const bool last = l == card.cascadeLevels() - 1;
    EXPECT_EQ(payloadIfCrcOk(*sak), (Bytes{static_cast<uint8_t>(last ? 0x20 : 0x04)}));
    EXPECT_EQ(card.state(), last ? State::Active : State::Ready);
  }
}

INSTANTIATE_TEST_SUITE_P(UidSizes, CascadeTest,
                         ::testing::Values(Bytes{0xDE, 0xAD, 0xBE, 0xEF},
                                           Bytes{0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6},
                                           Bytes{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                                 0x08, 0x99}));

TEST(Iso14443ACardTest, HaltedCardWakesOnlyForWupa) {
  Iso14443ACard card({0x11, 0x22, 0x33, 0x44});
  ASSERT_TRUE(card.receive(reqa()));
  ASSERT_TRUE(card.receive(selectFrame(0x93, card.levelSerial(0))));
  EXPECT_FALSE(card.receive(haltFrame()));
  EXPECT_EQ(card.state(), State::Halt);
  EXPECT_FALSE(card.receive(reqa()));
  EXPECT_EQ(card.state(), State::Halt);
  EXPECT_EQ(card.receive(wupa())->bytes, (Bytes{0x04, 0x00}));
  EXPECT_EQ(card.state(), State::Ready);
  // Woken from halt, a protocol error sends it back to halt, not to idle.
  EXPECT_FALSE(card.receive(AirFrame::fromBytes({0x30, 0x04})));
  EXPECT_EQ(card.state(), State::Halt);
}

TEST(Iso14443ACardTest, HaltNeedsItsCrcAndAReadyCardDropsOutOnIt) {
  Iso14443ACard card({0x11, 0x22, 0x33, 0x44});
  ASSERT_TRUE(card.receive(reqa()));
  EXPECT_FALSE(card.receive(haltFrame()));  // not selected: a protocol error
  EXPECT_EQ(card.state(), State::Idle);
  ASSERT_TRUE(card.receive(reqa()));
  ASSERT_TRUE(card.receive(selectFrame(0x93, card.levelSerial(0))));
  EXPECT_FALSE(card.receive(AirFrame::fromBytes({0x50, 0x00})));  // no CRC: not a halt
  EXPECT_EQ(card.state(), State::Active);
  auto damaged = haltFrame();
  damaged.bytes[3] ^= 0x01;
  EXPECT_FALSE(card.receive(damaged));
  EXPECT_EQ(card.state(), State::Active);
}

TEST(Iso14443ACardTest, SelectIgnoresDamagedFramesAndOtherSerialNumbers) {
  Iso14443ACard card({0x11, 0x22, 0x33, 0x44});
  ASSERT_TRUE(card.receive(reqa()));
  auto damaged = selectFrame(0x93, card.levelSerial(0));
  damaged.bytes[7] ^= 0x40;
  EXPECT_FALSE(card.receive(damaged));
  EXPECT_FALSE(card.receive(selectFrame(0x93, {0x11, 0x22, 0x33, 0x45})));
  EXPECT_FALSE(card.receive(selectFrame(0x95, card.levelSerial(0))));  // another level
  EXPECT_EQ(card.state(), State::Ready);
  EXPECT_TRUE(card.receive(selectFrame(0x93, card.levelSerial(0))));
  EXPECT_EQ(card.state(), State::Active);
}

TEST(Iso14443ACardTest, AnticollisionAnswersOnlyMatchingKnownBitsFromTheSplit) {
  Iso14443ACard card({0xA5, 0x3C, 0x0F, 0x71});
  ASSERT_TRUE(card.receive(reqa()));
  const auto serial = card.levelSerial(0);
  // 12 known bits that match: the card sends bits 12..39.
  auto answer = card.receive(anticollisionFrame(0x93, serial, 12));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->bitCount, 28u);
  const Bytes all{0xA5, 0x3C, 0x0F, 0x71, chip::bcc(serial.data())};
  for (size_t i = 0; i < 28; ++i) EXPECT_EQ(answer->bit(i), bitOf(all, 12 + i)) << i;
  // One known bit that differs: silence, still ready.
  auto other = serial;
  other[1] ^= 0x08;
  EXPECT_FALSE(card.receive(anticollisionFrame(0x93, other, 12)));
  EXPECT_EQ(card.state(), State::Ready);
  // An NVB that does not fit the frame length is ignored.
  auto wrongLength = anticollisionFrame(0x93, serial, 12);
  wrongLength.bitCount -= 1;
  EXPECT_FALSE(card.receive(wrongLength));
  // All 32 bits known: only the check byte comes back.
  auto bccOnly = card.receive(anticollisionFrame(0x93, serial, 32));
  ASSERT_TRUE(bccOnly);
  EXPECT_EQ(bccOnly->bytes, (Bytes{all[4]}));
}

TEST(Iso14443ACardTest, WrongBccFaultCorruptsOnlyTheFirstLevel) {
  Iso14443ACard card({0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6});
  card.setWrongBcc(true);
  ASSERT_TRUE(card.receive(reqa()));
  const auto l0 = card.levelSerial(0);
  auto answer = card.receive(anticollisionFrame(0x93, l0, 0));
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->bytes[4], chip::bcc(l0.data()));
}

TEST(RfFieldCardsTest, TwoCardsCollideWhereTheirUidsFirstDiffer) {
  RfField field;
  auto a = std::make_shared<Iso14443ACard>(Bytes{0x11, 0x22, 0x33, 0x44});
  auto b = std::make_shared<Iso14443ACard>(Bytes{0x11, 0x2A, 0x33, 0x44});
  field.add(a);
  field.add(b);
  auto atqa = field.exchange(reqa());
  ASSERT_EQ(atqa.size(), 1u);
  EXPECT_FALSE(atqa[0].firstCollision);  // same ATQA: no collision

  auto round1 = field.exchange(anticollisionFrame(0x93, a->levelSerial(0), 0));
  ASSERT_EQ(round1.size(), 1u);
  ASSERT_TRUE(round1[0].firstCollision);
  EXPECT_EQ(*round1[0].firstCollision, 11u);  // 0x22 and 0x2A differ in bit 3 of byte 1
  EXPECT_TRUE(round1[0].frame.bit(11));       // a collided bit reads as 1

  // Taking the collided bit as 1 leaves only card b, which sends the rest without collision.
  auto round2 = field.exchange(anticollisionFrame(0x93, b->levelSerial(0), 12));
  ASSERT_EQ(round2.size(), 1u);
  EXPECT_FALSE(round2[0].firstCollision);
  EXPECT_EQ(round2[0].frame.bitCount, 28u);
}

// A reader's bit-level anticollision over the field: selects and halts one card per request
// until nobody answers; returns the UIDs (cascade tags removed) in the order they were found.
std::vector<Bytes> resolveAll(RfField& field) {
  std::vector<Bytes> found;
  for (int guard = 0; guard < 10; ++guard) {
    if (field.exchange(reqa()).empty()) break;
    Bytes uid;
    for (int l = 0; l < 3; ++l) {
      AirFrame known;  // known serial bits of this level
      for (int rounds = 0; known.bitCount < 40 && rounds < 40; ++rounds) {
        std::array<uint8_t, 4> serial{};
        for (size_t i = 0; i < std::min<size_t>(known.bitCount, 32); ++i) {
          if (known.bit(i)) serial[i / 8] |= uint8_t(1 << (i % 8));
        }
        auto answers = field.exchange(anticollisionFrame(kSel[l], serial, int(known.bitCount)));
        if (answers.size() != 1) return found;
        const auto& a = answers[0];
        const size_t take = a.firstCollision ? *a.firstCollision + 1 : a.frame.bitCount;
        for (size_t i = 0; i < take; ++i) known.appendBit(a.frame.bit(i));
      }
      std::array<uint8_t, 4> serial{known.bytes[0], known.bytes[1], known.bytes[2], known.bytes[3]};
      auto sak = field.exchange(selectFrame(kSel[l], serial));
      if (sak.size() != 1) return found;
      const Bytes sakByte = *payloadIfCrcOk(sak[0].frame);
      const bool more = sakByte[0] & 0x04;
      uid.insert(uid.end(), serial.begin() + (more ? 1 : 0), serial.end());
      if (!more) break;
    }
    found.push_back(uid);
    EXPECT_TRUE(field.exchange(haltFrame()).empty());
  }
  return found;
}

TEST(RfFieldCardsTest, ThreeCardsOfMixedSizesAreResolvedOneAfterAnother) {
  RfField field;
  const std::vector<Bytes> uids = {{0x11, 0x22, 0x33, 0x44},
                                   {0x11, 0x22, 0x33, 0x45},
                                   {0x04, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};
  for (const auto& uid : uids) field.add(std::make_shared<Iso14443ACard>(uid));
  auto found = resolveAll(field);
  EXPECT_EQ(std::set<Bytes>(found.begin(), found.end()), std::set<Bytes>(uids.begin(), uids.end()));
  EXPECT_EQ(found.size(), 3u);
  // All halted: a request finds nobody, a wake-up finds them all again.
  EXPECT_TRUE(field.exchange(reqa()).empty());
  EXPECT_EQ(field.exchange(wupa()).size(), 1u);
}

TEST(RfFieldCardsTest, FieldResetBringsHaltedCardsBackToIdle) {
  RfField field;
  auto card = std::make_shared<Iso14443ACard>(Bytes{0x11, 0x22, 0x33, 0x44});
  field.add(card);
  ASSERT_EQ(resolveAll(field).size(), 1u);
  EXPECT_EQ(card->state(), State::Halt);
  field.fieldReset();
  EXPECT_EQ(card->state(), State::Idle);
  EXPECT_EQ(field.exchange(reqa()).size(), 1u);
}

}  // namespace
}  // namespace kvt::sim
