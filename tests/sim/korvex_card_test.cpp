#include "sim/korvex_card.h"

#include <gtest/gtest.h>

#include "air_helpers.h"

namespace kvt::sim {
namespace {

using namespace kvt::sim::test;
using Block = KorvexMemory::Block;

constexpr int kAck = 0x0A;
constexpr int kRefused = 0x04;
constexpr int kDamaged = 0x05;

// A selected card; the helpers speak to it the way the chip would (CRC appended).
struct Reader {
  explicit Reader(Bytes uid = {0xC4, 0x3B, 0x9E, 0x12}) : card(std::move(uid)) {
    card.receive(reqa());
    for (int l = 0; l < card.cascadeLevels(); ++l) {
      card.receive(selectFrame(0x93 + 2 * l, card.levelSerial(l)));
    }
    EXPECT_EQ(card.state(), Iso14443ACard::State::Active);
  }
  bool auth(uint8_t kind, uint8_t block, const KorvexCard::Key& key = KorvexCard::kDefaultKey) {
    std::array<uint8_t, 12> b{kind, block};
    std::copy(key.begin(), key.end(), b.begin() + 2);
    const auto serial = card.levelSerial(0);
    std::copy(serial.begin(), serial.end(), b.begin() + 8);
    return card.authenticate(b.data());
  }
  std::optional<AirFrame> send(Bytes payload) { return card.receive(frameWithCrc(payload)); }
  // The card's 4-bit answer to `payload`; -1 for silence, -2 for anything else.
  int nibble(Bytes payload) { return nibbleOf(send(std::move(payload))); }
  static int nibbleOf(const std::optional<AirFrame>& answer) {
    if (!answer) return -1;
    return answer->bitCount == 4 ? answer->bytes[0] : -2;
  }
  Bytes read(uint8_t block) {
    auto answer = send({0x30, block});
    auto payload = answer ? payloadIfCrcOk(*answer) : std::nullopt;
    return payload ? *payload : Bytes{};
  }
  std::optional<int32_t> value(int block) {
    return KorvexMemory::decodeValue(card.memory().block(block));
  }

  KorvexCard card;
};

// Reads of whole blocks, writes, keys A and B and the value round trip are tested through the
// reader stack on the simulated chip; here the card's own rules.
TEST(KorvexCardTest, ManufacturerBlockNamesTheCardByItsFirstLevelBytes) {
  Reader r;
  ASSERT_TRUE(r.auth(0x60, 0));
  EXPECT_EQ(r.read(0), hex("C4 3B 9E 12 73 08 04 00 61 62 63 64 65 66 67 68"));
  Reader seven({0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6});
  ASSERT_TRUE(seven.auth(0x60, 0x00));  // 88 04 51 62
  EXPECT_EQ(seven.read(0), hex("04 51 62 73 84 95 A6 C4 08 44 00 61 62 63 64 65"));
}

TEST(KorvexCardTest, AuthenticationChecksKeyAndSerialAndOpensOnlyItsSector) {
  Reader r;
  EXPECT_EQ(r.nibble({0x30, 0x04}), kRefused);  // not authenticated
  KorvexCard::Key other{1, 2, 3, 4, 5, 6};
  r.card.memory().setKeys(1, other, KorvexCard::kDefaultKey);
  std::array<uint8_t, 12> wrongSerial{0x60, 0x04, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
  EXPECT_FALSE(r.card.authenticate(wrongSerial.data()));
  EXPECT_EQ(r.card.state(), Iso14443ACard::State::Active);
  EXPECT_TRUE(r.auth(0x60, 0x04, other));
  ASSERT_TRUE(r.auth(0x61, 0x04));
  EXPECT_EQ(r.card.authenticatedSector(), 1);
  ASSERT_TRUE(r.auth(0x60, 0x04, other));
  EXPECT_EQ(r.read(0x07).size(), 16u);
  r.card.cryptoOff();  // the chip switched its crypto unit off
  EXPECT_EQ(r.nibble({0x30, 0x04}), kRefused);
  // A wrong key leaves the card unselected, as a real card does.
  ASSERT_TRUE(r.auth(0x61, 0x04));
  EXPECT_FALSE(r.auth(0x61, 0x04, other));
  EXPECT_EQ(r.card.state(), Iso14443ACard::State::Idle);
  EXPECT_FALSE(r.card.authenticatedSector());
  EXPECT_FALSE(r.auth(0x60, 0x04, other));  // not selected any more
}

TEST(KorvexCardTest, RefusedAndDamagedFramesChangeNothing) {
  const struct {
    const char* name;
    const char* acknowledged;  // a header acknowledged first, if any
    const char* frame;
    int answer;
  } cases[] = {
      {"read of another sector", "", "30 08", kRefused},
      {"read beyond the card", "", "30 40", kRefused},
      {"write to another sector", "", "A0 08", kRefused},
      {"unknown command", "", "42 04", kRefused},
      {"short write data", "A0 05", "11 11 11 11", kDamaged},
      {"page of the trailer", "", "A2 1C 01 02 03 04", kRefused},
      {"short page", "", "A2 16 01 02 03", kRefused},
      {"value command on zeros", "", "C1 05", kRefused},
      {"the trailer is no value block", "", "C0 07", kRefused},
      {"transfer with nothing pending", "", "B0 05", kRefused},
  };
  for (const auto& c : cases) {
    Reader r;
    ASSERT_TRUE(r.auth(0x60, 0x04));
    if (*c.acknowledged) {
      EXPECT_EQ(r.nibble(hex(c.acknowledged)), kAck) << c.name;
    }
    EXPECT_EQ(r.nibble(hex(c.frame)), c.answer) << c.name;
    for (int block = 4; block < 7; ++block) EXPECT_EQ(r.read(block), Bytes(16, 0)) << c.name;
  }
  Reader r;
  ASSERT_TRUE(r.auth(0x60, 0x04));
  EXPECT_EQ(Reader::nibbleOf(r.card.receive(AirFrame::fromBytes({0x30, 0x04}))), kDamaged);
  EXPECT_EQ(r.nibble({0xA0, 0x05}), kAck);
  auto damaged = frameWithCrc(Bytes(16, 0x11));
  damaged.bytes[17] ^= 0x80;
  EXPECT_EQ(Reader::nibbleOf(r.card.receive(damaged)), kDamaged);
  EXPECT_EQ(r.read(0x05), Bytes(16, 0));
  // Halt ends the authentication.
  EXPECT_FALSE(r.card.receive(haltFrame()));
  EXPECT_FALSE(r.card.authenticatedSector());
}

TEST(KorvexCardTest, ManufacturerBlockIsReadOnlyAndTrailersTakeNewKeys) {
  Reader r;
  ASSERT_TRUE(r.auth(0x60, 0x00));
  EXPECT_EQ(r.nibble({0xA0, 0x00}), kRefused);
  EXPECT_EQ(r.nibble({0xA0, 0x03}), kAck);
  EXPECT_EQ(r.nibble({1, 2, 3, 4, 5, 6, 0xFF, 0x07, 0x80, 0x69, 6, 5, 4, 3, 2, 1}), kAck);
  EXPECT_EQ(r.card.memory().keyA(0), (KorvexCard::Key{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(r.card.memory().keyB(0), (KorvexCard::Key{6, 5, 4, 3, 2, 1}));
}

TEST(KorvexCardTest, ValueCommandsGoThroughTheTransferBufferAndRefuseOverflow) {
  Reader r;
  ASSERT_TRUE(r.auth(0x60, 0x04));
  r.card.memory().setBlock(5, KorvexMemory::encodeValue(100, 5));
  EXPECT_EQ(r.nibble({0xC0, 0x05}), kAck);
  EXPECT_EQ(r.nibble({7, 0, 0, 0}), -1);  // the operand is not acknowledged
  EXPECT_EQ(r.value(5), 100);             // not yet transferred
  EXPECT_EQ(r.nibble({0xB0, 0x06}), kAck);
  EXPECT_EQ(r.value(6), 93);
  EXPECT_EQ(r.card.memory().block(6)[12], 6);  // a fresh value block gets its own address

  r.card.memory().setBlock(5, KorvexMemory::encodeValue(INT32_MAX, 5));
  EXPECT_EQ(r.nibble({0xC1, 0x05}), kAck);
  EXPECT_EQ(r.nibble({1, 0, 0, 0}), -1);
  EXPECT_EQ(r.nibble({0xB0, 0x05}), kRefused);
  EXPECT_EQ(r.value(5), INT32_MAX);
}

// Each case sets the access bits of sector 1 (block 5 holds the value 100), opens the sector
// with one key and sends frames; the answer is a nibble, "-" for silence or the data read.
TEST(KorvexCardTest, AccessBitsOfTheTrailerRuleEveryAccess) {
  const char* keyB = "5A 17 C3 E9 0B 42";
  const struct {
    const char* name;
    const char* accessBits;  // bytes 6..8 of the trailer
    uint8_t key;
    std::vector<std::pair<const char*, std::string>> steps;
  } cases[] = {
      {"factory trailer, key A opens everything but key A",
       "FF 07 80",
       0x60,
       {{"30 07", std::string("00 00 00 00 00 00 FF 07 80 69 ") + keyB},
        {"C1 05", "A"},
        {"01 00 00 00", "-"},
        {"B0 05", "A"},
        {"A0 05", "A"},
        {"A0 07", "A"}}},
      {"factory trailer, key B is readable and opens nothing",
       "FF 07 80",
       0x61,
       {{"30 04", "4"}, {"30 07", "4"}, {"A0 05", "4"}, {"C0 05", "4"}}},
      {"trailer read-only for key A (trailer 010)",
       "7F 0F 08",
       0x60,
       {{"A0 07", "4"}, {"30 07", std::string("00 00 00 00 00 00 7F 0F 08 69 ") + keyB}}},
      {"block 5 only goes down (001)",
       "FF 05 A0",
       0x60,
       {{"C1 05", "4"},
        {"A0 05", "4"},
        {"C0 05", "A"},
        {"01 00 00 00", "-"},
        {"B0 05", "A"},
        {"A0 04", "A"}}},
      {"inverted copies that disagree block the sector",
       "FF 07 81",
       0x60,
       {{"30 04", "4"}, {"30 07", "4"}, {"A0 05", "4"}, {"C0 05", "4"}}},
      {"key B writes, key A reads (data 100, trailer 011): key A",
       "78 77 88",
       0x60,
       {{"30 04", "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {"A0 04", "4"},
        {"A0 07", "4"},
        {"30 07", "00 00 00 00 00 00 78 77 88 69 00 00 00 00 00 00"}}},
      {"key B writes, key A reads (data 100, trailer 011): key B",
       "78 77 88",
       0x61,
       {{"A0 04", "A"},
        {"C0 05", "4"},
        {"30 07", "00 00 00 00 00 00 78 77 88 69 00 00 00 00 00 00"}}},
  };
  for (const auto& c : cases) {
    Reader r;
    auto trailer = r.card.memory().block(7);
    const Bytes bits = hex(c.accessBits);
    std::copy(bits.begin(), bits.end(), trailer.begin() + 6);
    r.card.memory().setBlock(7, trailer);
    r.card.memory().setBlock(5, KorvexMemory::encodeValue(100, 5));
    ASSERT_TRUE(r.auth(c.key, 0x04)) << c.name;
    for (const auto& [frame, expected] : c.steps) {
      const auto answer = r.send(hex(frame));
      std::string got = "-";
      if (answer && answer->bitCount == 4) {
        got = std::string(1, "0123456789ABCDEF"[answer->bytes[0] & 0x0F]);
      } else if (answer) {
        const auto payload = payloadIfCrcOk(*answer);
        got = payload ? testing::PrintToString(*payload) : "bad CRC";
      }
      const std::string want =
          expected.size() > 1 ? testing::PrintToString(hex(expected)) : expected;
      EXPECT_EQ(got, want) << c.name << ", frame " << frame;
      // A write header that was acknowledged takes 16 bytes of data next.
      if (frame[0] == 'A' && frame[1] == '0' && got == "A") {
        EXPECT_EQ(r.nibble(Bytes(16, 0x33)), kAck) << c.name;
      }
    }
  }
}

TEST(KorvexCardTest, TrailerWriteChangesOnlyThePartsTheKeyMayWrite) {
  Reader r;
  auto trailer = r.card.memory().block(7);
  trailer[7] = 0x0F;  // trailer condition 000: key A writes both keys but not the access bits
  trailer[8] = 0x00;
  r.card.memory().setBlock(7, trailer);
  ASSERT_TRUE(r.auth(0x60, 0x04));
  EXPECT_EQ(r.nibble({0xA0, 0x07}), kAck);
  EXPECT_EQ(r.nibble(hex("01 02 03 04 05 06 FF 07 80 11 0A 0B 0C 0D 0E 0F")), kAck);
  EXPECT_EQ(r.card.memory().block(7),
            (Block{1, 2, 3, 4, 5, 6, 0xFF, 0x0F, 0x00, 0x69, 10, 11, 12, 13, 14, 15}));
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

TEST(KorvexCardTest, NakWritesFaultRefusesEveryWriteButNotReads) {
  Reader r;
  ASSERT_TRUE(r.auth(0x60, 0x04));
  r.card.memory().setBlock(5, KorvexMemory::encodeValue(10, 5));
  EXPECT_EQ(r.nibble({0xC1, 0x05}), kAck);
  EXPECT_EQ(r.nibble({1, 0, 0, 0}), -1);
  r.card.setNakWrites(true);
  EXPECT_EQ(r.nibble({0xA2, 0x14, 1, 2, 3, 4}), kRefused);
  EXPECT_EQ(r.nibble({0xB0, 0x05}), kRefused);
  EXPECT_EQ(r.value(5), 10);
  EXPECT_EQ(r.read(0x05).size(), 16u);
}

}  // namespace
}  // namespace kvt::sim
