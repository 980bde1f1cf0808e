// Korvex card commands through the whole stack against the simulated chip and cards.
#include <gtest/gtest.h>

#include <algorithm>

#include "sim/card_frames.h"
#include "sim/korvex_card.h"
#include "sim/leaving_target.h"
#include "sim_stack.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;
using sim::KorvexCard;
using sim::KorvexMemory;

// Counts the frames a target hears, so a test can tell what went on the air.
class CountingTarget final : public sim::RfTarget {
 public:
  explicit CountingTarget(std::shared_ptr<sim::RfTarget> target) : target_(std::move(target)) {}
  std::optional<sim::AirFrame> receive(const sim::AirFrame& frame) override {
    ++frames;
    return target_->receive(frame);
  }
  bool authenticate(const uint8_t* block12) override { return target_->authenticate(block12); }
  void cryptoOff() override { target_->cryptoOff(); }
  void fieldReset() override { target_->fieldReset(); }
  int frames = 0;

 private:
  std::shared_ptr<sim::RfTarget> target_;
};

// Answers every frame with the same raw frame (no CRC): stands for a card's acknowledgement.
class RawAnswerTarget final : public sim::RfTarget {
 public:
  explicit RawAnswerTarget(sim::AirFrame answer) : answer_(std::move(answer)) {}
  std::optional<sim::AirFrame> receive(const sim::AirFrame&) override { return answer_; }

 private:
  sim::AirFrame answer_;
};

class KorvexSimTest : public ::testing::Test, public test::SimStack {
 protected:
  KorvexSimTest() : card(std::make_shared<KorvexCard>(Bytes{0xC4, 0x3B, 0x9E, 0x12})) {
    counter = std::make_shared<CountingTarget>(card);
    chip.field().add(counter);
    EXPECT_EQ(request(), status::Success);
    EXPECT_EQ(activate(), status::Success);
  }

  Status run(uint8_t command, uint8_t address, uint8_t* data, uint8_t length) {
    params = {command, address, data, length, 0, nullptr};
    return korvex.KorvexCommand(&params);
  }
  Status auth(uint8_t code, uint8_t block, const KorvexCard::Key& key = KorvexCard::kDefaultKey) {
    uint8_t data[10];
    std::copy(key.begin(), key.end(), data);
    std::copy(serial.begin(), serial.begin() + 4, data + 6);
    return run(code, block, data, 10);
  }
  Bytes read(uint8_t block) {
    uint8_t data[16] = {};
    if (run(0x30, block, data, 0) != status::Success) return {};
    return Bytes(data, data + params.dataLength);
  }
  Status write(uint8_t block, Bytes data) { return run(0xA0, block, data.data(), 16); }
  Status value(uint8_t command, uint8_t block, int32_t operand) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(uint32_t(operand) >> (8 * i));
    return run(command, block, bytes, 4);
  }
  std::optional<int32_t> valueIn(uint8_t block) {
    const Bytes b = read(block);
    if (b.size() != 16) return std::nullopt;
    KorvexMemory::Block raw;
    std::copy(b.begin(), b.end(), raw.begin());
    return KorvexMemory::decodeValue(raw);
  }

  std::shared_ptr<KorvexCard> card;
  std::shared_ptr<CountingTarget> counter;
  KorvexCommandParams params{};
};

TEST_F(KorvexSimTest, AuthenticateWithEitherKeyAndReadBlockFour) {
  EXPECT_EQ(auth(0x60, 0x04), status::Success);
  EXPECT_EQ(chip.peek(reg::Status2) & bits::CryptoOn, bits::CryptoOn);
  EXPECT_EQ(read(0x04), Bytes(16, 0x00));
  EXPECT_EQ(params.dataLength, 16);
  EXPECT_EQ(auth(0x61, 0x04), status::Success);
  EXPECT_EQ(read(0x07),
            (Bytes{0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42}));
}

TEST_F(KorvexSimTest, WrongKeyFailsAuthentication) {
  EXPECT_EQ(auth(0x60, 0x04, {1, 2, 3, 4, 5, 6}), status::AuthenticationFailed);
  EXPECT_EQ(chip.peek(reg::Status2) & bits::CryptoOn, 0);
}

TEST_F(KorvexSimTest, WrongKeyAfterASuccessfulAuthenticationStillFails) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  EXPECT_EQ(auth(0x61, 0x04, {1, 2, 3, 4, 5, 6}), status::AuthenticationFailed);
  EXPECT_EQ(chip.peek(reg::Status2) & bits::CryptoOn, 0);
}

TEST_F(KorvexSimTest, WriteSixteenBytesAndReadThemBack) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  Bytes data(16);
  for (int i = 0; i < 16; ++i) data[i] = static_cast<uint8_t>(0x3C ^ (i * 17));
  EXPECT_EQ(write(0x05, data), status::Success);
  EXPECT_EQ(params.dataLength, 0);
  EXPECT_EQ(read(0x05), data);
}

TEST_F(KorvexSimTest, NakedWriteHeaderNeverSendsTheData) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  card->setNakWrites(true);
  const int before = counter->frames;
  EXPECT_EQ(write(0x05, Bytes(16, 0xEE)), status::Nak);
  EXPECT_EQ(counter->frames, before + 1);  // the header only
  EXPECT_EQ(read(0x05), Bytes(16, 0x00));
}

TEST_F(KorvexSimTest, PageWriteOfAKlCard) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  uint8_t page[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  EXPECT_EQ(run(0xA2, 0x14, page, 4), status::Success);  // page 0x14: bytes 0..3 of block 5
  Bytes expected(16, 0x00);
  std::copy(page, page + 4, expected.begin());
  EXPECT_EQ(read(0x05), expected);
}

TEST_F(KorvexSimTest, ValueDecrementIncrementRestoreAndTransfer) {
  ASSERT_EQ(auth(0x61, 0x04), status::Success);
  const auto block = KorvexMemory::encodeValue(100, 0x05);
  ASSERT_EQ(write(0x05, Bytes(block.begin(), block.end())), status::Success);
  EXPECT_EQ(value(0xC0, 0x05, 7), status::Success);  // silence after the operand
  EXPECT_EQ(run(0xB0, 0x05, nullptr, 0), status::Success);
  EXPECT_EQ(valueIn(0x05), 93);
  EXPECT_EQ(value(0xC1, 0x05, 1000), status::Success);
  EXPECT_EQ(run(0xB0, 0x05, nullptr, 0), status::Success);
  EXPECT_EQ(valueIn(0x05), 1093);
  uint8_t unused[4] = {1, 2, 3, 4};
  EXPECT_EQ(run(0xC2, 0x05, unused, 0), status::Success);
  EXPECT_EQ(params.data, nullptr);
  EXPECT_EQ(run(0xB0, 0x06, nullptr, 0), status::Success);
  EXPECT_EQ(valueIn(0x06), 1093);
  EXPECT_EQ(run(0xB0, 0x06, nullptr, 0), status::Nak);  // nothing left to transfer
}

TEST_F(KorvexSimTest, IncrementAgainstACardThatAcknowledgesTheOperand) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  const auto block = KorvexMemory::encodeValue(5, 0x05);
  ASSERT_EQ(write(0x05, Bytes(block.begin(), block.end())), status::Success);
  card->setAckValueOperands(true);
  EXPECT_EQ(value(0xC0, 0x05, 1), status::Success);
  EXPECT_EQ(value(0xC1, 0x05, 1), status::UnexpectedAnswer);
}

TEST_F(KorvexSimTest, TooMuchDataIsRefusedBeforeAnyTraffic) {
  trafficBytes();
  uint8_t data[17] = {};
  KorvexCommandParams p{0xA0, 0x05, data, 17, 0x02, nullptr};
  EXPECT_EQ(korvex.Exchange(&p), status::BufferOverflow);
  p.dataLength = 17;
  EXPECT_EQ(korvex.TwoPhaseExchange(&p), status::BufferOverflow);
  EXPECT_EQ(trafficBytes(), 0u);
}

TEST_F(KorvexSimTest, CardLeavingTheFieldInTheMiddleOfAWrite) {
  chip.field().clear();
  // REQA, anticollision, select, authentication, write header: then it is gone.
  auto leaving = std::make_shared<sim::LeavingTarget>(card, 5);
  chip.field().add(leaving);
  card->fieldReset();
  ASSERT_EQ(request(), status::Success);
  ASSERT_EQ(activate(), status::Success);
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  EXPECT_EQ(write(0x05, Bytes(16, 0x77)), status::Timeout);
  EXPECT_FALSE(leaving->present());
}

class NibbleSimTest : public ::testing::TestWithParam<std::pair<sim::AirFrame, Status>>,
                      public test::SimStack {};

TEST_P(NibbleSimTest, AnswerOfOneShortFrame) {
  chip.field().add(std::make_shared<RawAnswerTarget>(GetParam().first));
  ASSERT_EQ(set(reg::TxMode, bits::CrcOn), status::Success);
  ASSERT_EQ(set(reg::RxMode, bits::CrcOn), status::Success);
  KorvexCommandParams p{0xB0, 0x05, nullptr, 0, 0, nullptr};
  EXPECT_EQ(korvex.KorvexCommand(&p), GetParam().second);
}

sim::AirFrame byteFrame(uint8_t b) { return sim::AirFrame::fromBytes({b}); }

INSTANTIATE_TEST_SUITE_P(Nibbles, NibbleSimTest,
                         ::testing::Values(std::pair{sim::nibbleFrame(0x0A), status::Success},
                                           std::pair{byteFrame(0xAA), status::Success},
                                           std::pair{byteFrame(0x5A), status::UnexpectedAnswer},
                                           std::pair{byteFrame(0x00), status::UnexpectedAnswer},
                                           std::pair{sim::nibbleFrame(0x01), status::Nak},
                                           std::pair{sim::nibbleFrame(0x05), status::Nak}));

}  // namespace
}  // namespace kvt::chip
