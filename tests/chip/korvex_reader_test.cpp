#include "chip/korvex_reader.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

// The transceiver below the Korvex layer: records every frame and answers from a script of
// (status, answer bytes) pairs. An empty script answers with silence (0x0001).
class FakeTransceiver final : public ITransceiver {
 public:
  void answer(Status s, Bytes bytes = {}) { answers_.push_back({s, std::move(bytes)}); }
  void nibble(uint8_t value) { answer(status::AckNakNibble, {value}); }

  Status SetWaitEventCallback(WaitCallbackParams<TransceiverRecord>*) override {
    ADD_FAILURE() << "slot 0 is not used by the Korvex layer";
    return status::Success;
  }
  Status Transceive(TransceiveParams* p) override {
    capacities.push_back(p->receiveLength);
    sent.emplace_back(p->sendBuffer, p->sendBuffer + p->sendLength);
    if (answers_.empty()) {
      p->receiveLength = 0;
      return status::Timeout;
    }
    auto [s, bytes] = answers_.front();
    answers_.pop_front();
    std::copy(bytes.begin(), bytes.end(), p->receiveBuffer);
    p->receiveLength = static_cast<uint16_t>(bytes.size());
    return s;
  }
  Status Transmit(FrameParams*) override {
    ADD_FAILURE() << "slot 2 is not used by the Korvex layer";
    return status::Success;
  }
  Status Receive(FrameParams*) override {
    ADD_FAILURE() << "slot 3 is not used by the Korvex layer";
    return status::Success;
  }
  Status Authenticate(FrameParams* p) override {
    authBlocks.emplace_back(p->buffer, p->buffer + p->length);
    return authStatus;
  }

  std::vector<Bytes> sent;
  std::vector<uint16_t> capacities;
  std::vector<Bytes> authBlocks;
  Status authStatus = status::Success;

 private:
  std::deque<std::pair<Status, Bytes>> answers_;
};

class KorvexReaderTest : public ::testing::Test {
 protected:
  KorvexReaderTest() { reader.Init(&lower, scratch); }

  Status command(uint8_t code, uint8_t address, uint8_t* data, uint8_t length) {
    params = {code, address, data, length, 0xEE, nullptr};
    return reader.KorvexCommand(&params);
  }

  FakeTransceiver lower;
  uint8_t scratch[256] = {};
  KorvexReader reader;
  KorvexCommandParams params{};
};

TEST_F(KorvexReaderTest, ReadSendsTheHeaderAndReturnsSixteenBytes) {
  Bytes block(16);
  for (int i = 0; i < 16; ++i) block[i] = uint8_t(i * 3);
  lower.answer(status::Success, block);
  uint8_t data[16] = {};
  EXPECT_EQ(command(0x30, 0x04, data, 5), status::Success);
  EXPECT_EQ(lower.sent, (std::vector<Bytes>{{0x30, 0x04}}));
  EXPECT_EQ(lower.capacities, (std::vector<uint16_t>{32}));
  EXPECT_EQ(params.dataLength, 16);
  EXPECT_EQ(params.answerFlags, 0x04);
  EXPECT_EQ(Bytes(data, data + 16), block);
  EXPECT_EQ(params.component, nullptr);  // restored by the wrapper
}

TEST_F(KorvexReaderTest, ReadAnswersOfTheWrongKind) {
  uint8_t data[32] = {};
  lower.answer(status::Success, Bytes(17, 0x55));
  EXPECT_EQ(command(0x30, 0x04, data, 0), status::BufferTooSmall);
  EXPECT_EQ(params.dataLength, 0);
  lower.nibble(0x0A);  // an acknowledgement where data were due
  EXPECT_EQ(command(0x30, 0x04, data, 0), status::UnexpectedAnswer);
  EXPECT_EQ(command(0x30, 0x04, data, 0), status::Timeout);  // silence is not accepted
  EXPECT_EQ(params.dataLength, 0);
  lower.answer(status::CrcError, {0x01, 0x02});
  EXPECT_EQ(command(0x30, 0x04, data, 0), status::CrcError);
}

TEST_F(KorvexReaderTest, WriteRunsHeaderThenData) {
  uint8_t data[16];
  for (int i = 0; i < 16; ++i) data[i] = uint8_t(0xA0 + i);
  lower.nibble(0x0A);
  lower.nibble(0x0A);
  EXPECT_EQ(command(0xA0, 0x05, data, 16), status::Success);
  ASSERT_EQ(lower.sent.size(), 2u);
  EXPECT_EQ(lower.sent[0], (Bytes{0xA0, 0x05}));
  EXPECT_EQ(lower.sent[1], Bytes(data, data + 16));
  EXPECT_EQ(params.dataLength, 0);
  EXPECT_EQ(params.answerFlags, 0x02);
}

TEST_F(KorvexReaderTest, NakedWriteHeaderNeverSendsTheData) {
  uint8_t data[16] = {};
  lower.nibble(0x04);
  EXPECT_EQ(command(0xA0, 0x05, data, 16), status::Nak);
  EXPECT_EQ(lower.sent, (std::vector<Bytes>{{0xA0, 0x05}}));
  EXPECT_EQ(params.dataLength, 0);
}

TEST_F(KorvexReaderTest, NibbleTable) {
  const std::pair<uint8_t, Status> cases[] = {
      {0x0A, status::Success},
      {0xAA, status::Success},
      {0x5A, status::UnexpectedAnswer},
      {0x00, status::UnexpectedAnswer},
      {0x01, status::Nak},
      {0x05, status::Nak},
      {0x04, status::Nak},
      {0x55, status::Nak},
  };
  for (auto [nibble, expected] : cases) {
    lower.nibble(nibble);
    EXPECT_EQ(command(0xB0, 0x05, nullptr, 3), expected) << int(nibble);
    EXPECT_EQ(params.dataLength, 0);
  }
  // A flagged answer of two bytes is no nibble.
  lower.answer(status::AckNakNibble, {0x0A, 0x0A});
  EXPECT_EQ(command(0xB0, 0x05, nullptr, 0), status::UnexpectedAnswer);
  // Data where an acknowledgement was due.
  lower.answer(status::Success, {0x0A});
  EXPECT_EQ(command(0xB0, 0x05, nullptr, 0), status::UnexpectedAnswer);
}

TEST_F(KorvexReaderTest, ValueOperandsAcceptSilenceAndOnlyDecrementAcceptsAnAck) {
  uint8_t operand[4] = {1, 0, 0, 0};
  lower.nibble(0x0A);  // header, then silence
  EXPECT_EQ(command(0xC0, 0x05, operand, 4), status::Success);
  lower.nibble(0x0A);
  lower.nibble(0x0A);
  EXPECT_EQ(command(0xC0, 0x05, operand, 4), status::Success);
  EXPECT_EQ(params.answerFlags, 0x03);
  lower.nibble(0x0A);  // header, then silence
  EXPECT_EQ(command(0xC1, 0x05, operand, 4), status::Success);
  lower.nibble(0x0A);
  lower.nibble(0x0A);
  EXPECT_EQ(command(0xC1, 0x05, operand, 4), status::UnexpectedAnswer);
  EXPECT_EQ(params.answerFlags, 0x01);
  ASSERT_EQ(lower.sent.size(), 8u);
  EXPECT_EQ(lower.sent[6], (Bytes{0xC1, 0x05}));
  EXPECT_EQ(lower.sent[7], (Bytes{1, 0, 0, 0}));
}

TEST_F(KorvexReaderTest, RestoreSendsAZeroOperandAndClearsTheData) {
  uint8_t buffer[4] = {9, 9, 9, 9};
  lower.nibble(0x0A);
  EXPECT_EQ(command(0xC2, 0x06, buffer, 4), status::Success);
  EXPECT_EQ(lower.sent, (std::vector<Bytes>{{0xC2, 0x06}, {0, 0, 0, 0}}));
  EXPECT_EQ(params.data, nullptr);
  EXPECT_EQ(params.dataLength, 0);
}

TEST_F(KorvexReaderTest, PageWriteIsOneFrame) {
  uint8_t page[4] = {0xDE, 0xAD, 0xBE, 0xEF};
  lower.nibble(0x0A);
  EXPECT_EQ(command(0xA2, 0x16, page, 4), status::Success);
  EXPECT_EQ(lower.sent, (std::vector<Bytes>{{0xA2, 0x16, 0xDE, 0xAD, 0xBE, 0xEF}}));
}

TEST_F(KorvexReaderTest, AuthenticationHandsTheTwelveBytesToTheChip) {
  uint8_t data[10] = {0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42, 0xC4, 0x3B, 0x9E, 0x12};
  EXPECT_EQ(command(0x61, 0x04, data, 10), status::Success);
  ASSERT_EQ(lower.authBlocks.size(), 1u);
  EXPECT_EQ(lower.authBlocks[0],
            (Bytes{0x61, 0x04, 0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42, 0xC4, 0x3B, 0x9E, 0x12}));
  lower.authStatus = status::AuthenticationFailed;
  EXPECT_EQ(command(0x60, 0x04, data, 10), status::AuthenticationFailed);
  EXPECT_TRUE(lower.sent.empty());
  EXPECT_EQ(command(0x60, 0x04, nullptr, 10), status::InvalidParameter);
}

TEST_F(KorvexReaderTest, ParametersAreCheckedBeforeAnyTraffic) {
  uint8_t data[17] = {};
  for (uint8_t code : {0x20, 0x31, 0x62, 0xA1, 0xC3, 0xFF, 0x00}) {
    EXPECT_EQ(command(code, 0x04, data, 4), status::UnknownCommand) << int(code);
    EXPECT_EQ(params.dataLength, 0);
  }
  const std::pair<uint8_t, uint8_t> wrongLengths[] = {
      {0xA0, 15}, {0xA0, 17}, {0xA2, 16}, {0xC0, 0}, {0xC1, 5}};
  for (auto [code, length] : wrongLengths) {
    EXPECT_EQ(command(code, 0x04, data, length), status::InvalidParameter) << int(code);
    EXPECT_EQ(params.dataLength, length);  // unchanged
  }
  EXPECT_EQ(command(0xA0, 0x04, nullptr, 16), status::InvalidParameter);

  KorvexCommandParams p{0xA0, 0x04, data, 17, 0x02, nullptr};
  EXPECT_EQ(reader.Exchange(&p), status::BufferOverflow);
  EXPECT_EQ(p.dataLength, 0);
  p.dataLength = 17;
  EXPECT_EQ(reader.TwoPhaseExchange(&p), status::BufferOverflow);
  EXPECT_EQ(p.dataLength, 0);
  EXPECT_TRUE(lower.sent.empty());
}

TEST_F(KorvexReaderTest, HeaderlessExchangeSendsOnlyTheData) {
  uint8_t data[3] = {7, 8, 9};
  lower.nibble(0x0A);
  KorvexCommandParams p{0, 0x55, data, 3, 0x02, nullptr};
  EXPECT_EQ(reader.Exchange(&p), status::Success);
  EXPECT_EQ(lower.sent, (std::vector<Bytes>{{7, 8, 9}}));
}

}  // namespace
}  // namespace kvt::chip
