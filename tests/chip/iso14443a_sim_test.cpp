// Type A activation through the whole stack against the simulated chip and cards.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
    // Halted, only a wake-up brings it back; the known serial number is then only selected.
    EXPECT_EQ(request(), status::Timeout);
    ASSERT_EQ(request(0x52), status::Success);
    AnticollisionParams p{0x93, serial.data(), bits, 0, 0, nullptr};
    EXPECT_EQ(iso.Select(&p), status::Success);
    EXPECT_EQ(p.sak, 0x08);
  }
}

TEST_F(Iso14443ASimTest, CollidingCardsAreResolvedAndHaltedOneAfterTheOther) {
  const std::vector<std::vector<Bytes>> fields = {
      {{0x11, 0x22, 0x33, 0x44}, {0x11, 0x2A, 0x33, 0x44}},
      {{0x11, 0x22, 0x33, 0x44},
       {0x11, 0x22, 0xB3, 0x44},
       {0x04, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}},
  };
  for (const auto& uids : fields) {
    chip.field().clear();
    for (const auto& u : uids) addCard(u);
    std::set<Bytes> found;
    for (size_t n = 0; n < uids.size(); ++n) {
      const Status r = request();
      EXPECT_TRUE(r == status::Success || r == status::Collision) << r;  // ATQAs may differ
      ASSERT_EQ(activate(), status::Success) << uids.size() << " cards, activation " << n;
      if (n == 0) {
        EXPECT_EQ(collisionFlags & 0x01, 0x01) << uids.size() << " cards";
      }
      found.insert(uid());
      EXPECT_EQ(halt(), status::Success);
    }
    EXPECT_EQ(found, std::set<Bytes>(uids.begin(), uids.end()));
    EXPECT_EQ(request(), status::Timeout);  // all halted
    EXPECT_EQ(atqa, (std::array<uint8_t, 2>{0x00, 0x00}));
  }
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

}  // namespace
}  // namespace kvt::chip
