// Type A activation through the whole stack against the simulated chip and cards.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "sim/field_setup.h"
#include "sim/iso14443a_card.h"
#include "sim/korvex_card.h"
#include "sim_stack.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

class Iso14443ASimTest : public ::testing::Test, public test::SimStack {
 protected:
  std::shared_ptr<sim::KorvexCard> addCard(Bytes uid) {
    auto card = std::make_shared<sim::KorvexCard>(std::move(uid));
    chip.field().add(card);
    return card;
  }
};

TEST_F(Iso14443ASimTest, EveryUidSizeActivatesWithItsKnownBits) {
  const std::pair<Bytes, uint8_t> cases[] = {
      {{0xC4, 0x3B, 0x9E, 0x12}, 32},
      {{0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6}, 64},
      {{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x08, 0x99}, 96},
  };
  for (const auto& [uid, bits] : cases) {
    chip.field().clear();
    auto card = addCard(uid);
    ASSERT_EQ(request(), status::Success);
    EXPECT_EQ(atqa, card->atqa());
    ASSERT_EQ(activate(), status::Success) << uid.size();
    EXPECT_EQ(knownBits, bits);
    EXPECT_EQ(sak, 0x08);
    EXPECT_EQ(collisionFlags, 0);
    EXPECT_EQ(this->uid(), uid);
    EXPECT_EQ(card->state(), sim::Iso14443ACard::State::Active);
    EXPECT_EQ(halt(), status::Success);
    EXPECT_EQ(card->state(), sim::Iso14443ACard::State::Halt);
  }
}

// Requests, resolves, halts until nobody answers; returns the UIDs in the order found.
std::vector<Bytes> resolveAll(Iso14443ASimTest& t, uint8_t& flagsSeen) {
  std::vector<Bytes> found;
  for (int guard = 0; guard < 8; ++guard) {
    const Status r = t.request();
    if (r == status::Timeout) break;
    EXPECT_TRUE(r == status::Success || r == status::Collision) << r;
    EXPECT_EQ(t.activate(), status::Success);
    flagsSeen |= t.collisionFlags;
    found.push_back(t.uid());
    EXPECT_EQ(t.halt(), status::Success);
  }
  return found;
}

TEST_F(Iso14443ASimTest, TwoCollidingCardsAreResolvedOneAfterTheOther) {
  const std::vector<Bytes> uids = {{0x11, 0x22, 0x33, 0x44}, {0x11, 0x2A, 0x33, 0x44}};
  for (const auto& u : uids) addCard(u);
  ASSERT_EQ(request(), status::Success);
  ASSERT_EQ(activate(), status::Success);
  EXPECT_EQ(collisionFlags & 0x01, 0x01);
  EXPECT_EQ(uid(), uids[1]);  // the collided bit is taken as 1
  EXPECT_EQ(halt(), status::Success);
  ASSERT_EQ(request(), status::Success);
  ASSERT_EQ(activate(), status::Success);
  EXPECT_EQ(collisionFlags, 0);  // alone in the field now
  EXPECT_EQ(uid(), uids[0]);
  EXPECT_EQ(halt(), status::Success);
  EXPECT_EQ(request(), status::Timeout);
  EXPECT_EQ(atqa, (std::array<uint8_t, 2>{0x00, 0x00}));
}

TEST_F(Iso14443ASimTest, ThreeCardsOfMixedSizesAreAllFound) {
  const std::vector<Bytes> uids = {{0x11, 0x22, 0x33, 0x44},
                                   {0x11, 0x22, 0xB3, 0x44},
                                   {0x04, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};
  for (const auto& u : uids) addCard(u);
  uint8_t flags = 0;
  const auto found = resolveAll(*this, flags);
  EXPECT_EQ(found.size(), 3u);
  EXPECT_EQ(std::set<Bytes>(found.begin(), found.end()), std::set<Bytes>(uids.begin(), uids.end()));
  EXPECT_EQ(flags & 0x01, 0x01);
  // Woken up, they are all there again.
  EXPECT_EQ(request(0x52), status::Collision);  // ATQA 04 00 against 44 00
}

TEST_F(Iso14443ASimTest, WrongBccIsReported) {
  auto card = addCard({0xC4, 0x3B, 0x9E, 0x12});
  card->setWrongBcc(true);
  ASSERT_EQ(request(), status::Success);
  EXPECT_EQ(activate(), status::BccError);
  EXPECT_EQ(knownBits, 0);
  EXPECT_EQ(Bytes(serial.begin(), serial.begin() + 4), (Bytes{0xC4, 0x3B, 0x9E, 0x12}));
}

TEST_F(Iso14443ASimTest, EmptyFieldAndParameterChecksOnTheLine) {
  atqa = {0x12, 0x34};
  EXPECT_EQ(request(), status::Timeout);
  EXPECT_EQ(atqa, (std::array<uint8_t, 2>{0x00, 0x00}));
  trafficBytes();
  AnticollisionParams p{0x93, serial.data(), 40, 0, 0, nullptr};
  EXPECT_EQ(iso.Select(&p), status::InvalidParameter);
  EXPECT_EQ(trafficBytes(), 0u);
}

TEST_F(Iso14443ASimTest, SelectAgainAfterWakeUp) {
  addCard({0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6});
  ASSERT_EQ(request(), status::Success);
  ASSERT_EQ(activate(), status::Success);
  ASSERT_EQ(halt(), status::Success);
  EXPECT_EQ(request(), status::Timeout);  // halted: REQA is not enough
  ASSERT_EQ(request(0x52), status::Success);
  AnticollisionParams p{0x93, serial.data(), 64, 0, 0, nullptr};
  EXPECT_EQ(iso.Select(&p), status::Success);
  EXPECT_EQ(p.sak, 0x08);
}

TEST_F(Iso14443ASimTest, DefaultFieldOfTheSimulator) {
  sim::applyFieldSetup(sim::FieldSetup{}, chip.field());
  ASSERT_EQ(request(), status::Success);
  EXPECT_EQ(atqa, (std::array<uint8_t, 2>{0x04, 0x00}));
  ASSERT_EQ(activate(), status::Success);
  EXPECT_EQ(sak, 0x08);
  EXPECT_EQ(uid(), Bytes(std::begin(sim::kDefaultCardUid), std::end(sim::kDefaultCardUid)));
}

}  // namespace
}  // namespace kvt::chip
