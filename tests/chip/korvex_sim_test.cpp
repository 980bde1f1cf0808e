// Korvex card commands through the whole stack against the simulated chip and cards.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "sim/card_frames.h"
#include "sim/korvex_card.h"
#include "sim/leaving_target.h"
#include "sim_stack.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;
using sim::KorvexCard;
using sim::KorvexMemory;

// Records what a target hears (CRC stripped where it was correct), so a test can tell what
// went on the air.
class RecordingTarget final : public sim::RfTarget {
 public:
  explicit RecordingTarget(std::shared_ptr<sim::RfTarget> target) : target_(std::move(target)) {}
  std::optional<sim::AirFrame> receive(const sim::AirFrame& frame) override {
    heard.push_back(sim::payloadIfCrcOk(frame).value_or(frame.bytes));
    return target_->receive(frame);
  }
  bool authenticate(const uint8_t* block12) override { return target_->authenticate(block12); }
  void cryptoOff() override { target_->cryptoOff(); }
  void fieldReset() override { target_->fieldReset(); }
  std::vector<Bytes> heard;

 private:
  std::shared_ptr<sim::RfTarget> target_;
};

class KorvexSimTest : public ::testing::Test, public test::SimStack {
 protected:
  KorvexSimTest() : card(std::make_shared<KorvexCard>(Bytes{0xC4, 0x3B, 0x9E, 0x12})) {
    recorder = std::make_shared<RecordingTarget>(card);
    chip.field().add(recorder);
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
  // The frames heard since the last call.
  std::vector<Bytes> onTheAir() { return std::exchange(recorder->heard, {}); }

  std::shared_ptr<KorvexCard> card;
  std::shared_ptr<RecordingTarget> recorder;
  KorvexCommandParams params{};
};

TEST_F(KorvexSimTest, AuthenticateWithEitherKeyAndReadBlockFour) {
  EXPECT_EQ(auth(0x60, 0x04), status::Success);
  EXPECT_EQ(chip.peek(reg::Status2) & bits::CryptoOn, bits::CryptoOn);
  onTheAir();
  EXPECT_EQ(read(0x04), Bytes(16, 0x00));
  EXPECT_EQ(params.dataLength, 16);
  EXPECT_EQ(onTheAir(), (std::vector<Bytes>{{0x30, 0x04}}));
  // A factory trailer lets key A read key B, so key B authenticates but opens nothing.
  EXPECT_EQ(read(0x07),
            (Bytes{0, 0, 0, 0, 0, 0, 0xFF, 0x07, 0x80, 0x69, 0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42}));
  EXPECT_EQ(auth(0x61, 0x04), status::Success);
  EXPECT_EQ(run(0x30, 0x07, nullptr, 0), status::UnexpectedAnswer);  // a NAK instead of data
}

TEST_F(KorvexSimTest, WrongKeyAfterASuccessfulAuthenticationFails) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  EXPECT_EQ(auth(0x61, 0x04, {1, 2, 3, 4, 5, 6}), status::AuthenticationFailed);
  EXPECT_EQ(chip.peek(reg::Status2) & bits::CryptoOn, 0);
}

TEST_F(KorvexSimTest, WriteSixteenBytesAndReadThemBack) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  Bytes data(16);
  for (int i = 0; i < 16; ++i) data[i] = static_cast<uint8_t>(0x3C ^ (i * 17));
  onTheAir();
  EXPECT_EQ(write(0x05, data), status::Success);
  EXPECT_EQ(params.dataLength, 0);
  EXPECT_EQ(onTheAir(), (std::vector<Bytes>{{0xA0, 0x05}, data}));  // header, then the data
  EXPECT_EQ(read(0x05), data);
}

TEST_F(KorvexSimTest, NakedWriteHeaderNeverSendsTheData) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  card->setNakWrites(true);
  onTheAir();
  EXPECT_EQ(write(0x05, Bytes(16, 0xEE)), status::Nak);
  EXPECT_EQ(onTheAir(), (std::vector<Bytes>{{0xA0, 0x05}}));
  EXPECT_EQ(read(0x05), Bytes(16, 0x00));
}

TEST_F(KorvexSimTest, PageWriteOfAKlCardIsOneFrame) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  uint8_t page[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  onTheAir();
  EXPECT_EQ(run(0xA2, 0x14, page, 4), status::Success);  // page 0x14: bytes 0..3 of block 5
  EXPECT_EQ(onTheAir(), (std::vector<Bytes>{{0xA2, 0x14, 0xDE, 0xAD, 0xBE, 0xEF}}));
  Bytes expected(16, 0x00);
  std::copy(page, page + 4, expected.begin());
  EXPECT_EQ(read(0x05), expected);
}

TEST_F(KorvexSimTest, ValueDecrementIncrementRestoreAndTransfer) {
  ASSERT_EQ(auth(0x60, 0x04), status::Success);
  const auto block = KorvexMemory::encodeValue(100, 0x05);
  ASSERT_EQ(write(0x05, Bytes(block.begin(), block.end())), status::Success);
  EXPECT_EQ(value(0xC0, 0x05, 7), status::Success);  // silence after the operand
  EXPECT_EQ(run(0xB0, 0x05, nullptr, 0), status::Success);
  EXPECT_EQ(valueIn(0x05), 93);
  EXPECT_EQ(value(0xC1, 0x05, 1000), status::Success);
  EXPECT_EQ(run(0xB0, 0x05, nullptr, 0), status::Success);
  EXPECT_EQ(valueIn(0x05), 1093);
  uint8_t unused[4] = {1, 2, 3, 4};
  onTheAir();
  EXPECT_EQ(run(0xC2, 0x05, unused, 0), status::Success);
  EXPECT_EQ(onTheAir(), (std::vector<Bytes>{{0xC2, 0x05}, {0, 0, 0, 0}}));  // a zero operand
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
  EXPECT_EQ(value(0xC0, 0x05, 1), status::Success);  // a decrement may be acknowledged
  EXPECT_EQ(value(0xC1, 0x05, 1), status::UnexpectedAnswer);
}

TEST_F(KorvexSimTest, ParametersAreCheckedBeforeAnyTraffic) {
  trafficBytes();
  onTheAir();
  uint8_t data[17] = {};
  for (uint8_t code : {0x20, 0x31, 0x62, 0xA1, 0xC3, 0x00}) {
    EXPECT_EQ(run(code, 0x04, data, 4), status::UnknownCommand) << int(code);
    EXPECT_EQ(params.dataLength, 0);
  }
  const std::pair<uint8_t, uint8_t> wrongLengths[] = {
      {0xA0, 15}, {0xA0, 17}, {0xA2, 16}, {0xC0, 0}, {0xC1, 5}};
  for (auto [code, length] : wrongLengths) {
    EXPECT_EQ(run(code, 0x04, data, length), status::InvalidParameter) << int(code);
    EXPECT_EQ(params.dataLength, length);  // unchanged
  }
  EXPECT_EQ(run(0xA0, 0x04, nullptr, 16), status::InvalidParameter);
  EXPECT_EQ(run(0x60, 0x04, nullptr, 10), status::InvalidParameter);
  KorvexCommandParams p{0xA0, 0x05, data, 17, 0x02, nullptr};
  EXPECT_EQ(korvex.Exchange(&p), status::BufferOverflow);
  p.dataLength = 17;
  EXPECT_EQ(korvex.TwoPhaseExchange(&p), status::BufferOverflow);
  EXPECT_EQ(p.dataLength, 0);
  EXPECT_EQ(trafficBytes(), 0u);
  EXPECT_TRUE(onTheAir().empty());
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

// Answers every frame with the same raw frame: acknowledgements and answers of the wrong kind.
class RawAnswerTarget final : public sim::RfTarget {
 public:
  explicit RawAnswerTarget(sim::AirFrame answer) : answer_(std::move(answer)) {}
  std::optional<sim::AirFrame> receive(const sim::AirFrame&) override { return answer_; }

 private:
  sim::AirFrame answer_;
};

TEST(KorvexAnswerSimTest, NibblesAndAnswersOfTheWrongKind) {
  auto byte = [](uint8_t b) { return sim::AirFrame::fromBytes({b}); };
  struct Case {
    const char* name;
    uint8_t command;
    sim::AirFrame answer;
    Status expected;
  };
  const Case cases[] = {
      {"ACK nibble", 0xB0, sim::nibbleFrame(0x0A), status::Success},
      {"ACK byte", 0xB0, byte(0xAA), status::Success},
      {"0x5A", 0xB0, byte(0x5A), status::UnexpectedAnswer},
      {"0x00", 0xB0, byte(0x00), status::UnexpectedAnswer},
      {"NAK 1", 0xB0, sim::nibbleFrame(0x01), status::Nak},
      {"NAK 5", 0xB0, sim::nibbleFrame(0x05), status::Nak},
      {"17 bytes of data", 0x30, sim::frameWithCrc(Bytes(17, 0x55)), status::BufferTooSmall},
      {"ACK where data are due", 0x30, sim::nibbleFrame(0x0A), status::UnexpectedAnswer},
      {"damaged data", 0x30, sim::AirFrame::fromBytes({1, 2, 3, 4}), status::CrcError},
  };
  for (const Case& c : cases) {
    auto stack = std::make_unique<test::SimStack>();
    stack->chip.field().add(std::make_shared<RawAnswerTarget>(c.answer));
    ASSERT_EQ(stack->set(reg::TxMode, bits::CrcOn), status::Success);
    ASSERT_EQ(stack->set(reg::RxMode, bits::CrcOn), status::Success);
    uint8_t data[16] = {};
    KorvexCommandParams p{c.command, 0x05, data, 0, 0, nullptr};
    EXPECT_EQ(stack->korvex.KorvexCommand(&p), c.expected) << c.name;
    EXPECT_EQ(p.dataLength, 0) << c.name;
  }
  test::SimStack silent;  // an empty field: silence is no answer to a read
  uint8_t data[16] = {};
  KorvexCommandParams p{0x30, 0x05, data, 0, 0, nullptr};
  EXPECT_EQ(silent.korvex.KorvexCommand(&p), status::Timeout);
}

}  // namespace
}  // namespace kvt::chip
