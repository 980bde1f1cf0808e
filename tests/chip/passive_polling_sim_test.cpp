// Passive polling through the whole stack against the simulated chip and polling targets.
#include <gtest/gtest.h>

#include "sim/polling_target.h"
#include "sim_stack.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;
using sim::PollingTarget;

const PollingTarget::Id kPmm{0x01, 0x20, 0x22, 0x04, 0x27, 0x67, 0x2D, 0xFF};

PollingTarget::Id idm(uint8_t tail) { return {0x01, 0x01, 0x06, 0x01, 0xCB, 0x09, 0x57, tail}; }

class PassivePollingSimTest : public ::testing::Test, public test::SimStack {
 protected:
  PassivePollingSimTest() {
    set(reg::TxMode, 0x92);  // 212 kbit/s, its framing, CRC appended
    set(reg::RxMode, 0x92);  // ... and checked
  }
  std::shared_ptr<PollingTarget> addTarget(uint8_t tail, int slot, uint16_t systemCode = 0x12FC) {
    auto t = std::make_shared<PollingTarget>(idm(tail), kPmm, systemCode, slot);
    chip.field().add(t);
    return t;
  }
  Status poll(Bytes request, uint16_t capacity = 64) {
    request_ = std::move(request);
    params = {request_.data(), static_cast<uint16_t>(request_.size()), response, capacity, nullptr};
    return polling.Poll(&params);
  }
  Bytes frame(size_t at, size_t length) const {
    return Bytes(response + at, response + at + length);
  }
  static Bytes expected(uint8_t tail, const Bytes& requestData = {}) {
    Bytes f{static_cast<uint8_t>(18 + requestData.size()), 0x01};
    const auto id = idm(tail);
    f.insert(f.end(), id.begin(), id.end());
    f.insert(f.end(), kPmm.begin(), kPmm.end());
    f.insert(f.end(), requestData.begin(), requestData.end());
    return f;
  }

  uint8_t response[128] = {};
  PollingParams params{};
  Bytes request_;
};

TEST_F(PassivePollingSimTest, TwoTargetsInDifferentSlotsDeliverBothFrames) {
  addTarget(0xB2, 2);
  addTarget(0xA1, 0);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x03}), status::Success);
  ASSERT_EQ(params.responseLength, 36);
  EXPECT_EQ(frame(0, 18), expected(0xA1));  // slot order
  EXPECT_EQ(frame(18, 18), expected(0xB2));
  EXPECT_EQ(chip.peek(reg::RxMode) & bits::MultipleFrames, 0);  // switched off again
}

TEST_F(PassivePollingSimTest, RequestDataMakesTwentyByteFrames) {
  addTarget(0xA1, 0);
  addTarget(0xC3, 1, 0x88B4);  // another system: stays silent
  EXPECT_EQ(poll({0x12, 0xFC, 0x01, 0x01}), status::Success);
  ASSERT_EQ(params.responseLength, 20);
  EXPECT_EQ(frame(0, 20), expected(0xA1, {0x12, 0xFC}));
}

TEST_F(PassivePollingSimTest, DamagedFrameIsDroppedAndTheGoodOneKept) {
  addTarget(0xA1, 0)->setDamagedAnswer(true);
  addTarget(0xB2, 1);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x01}), status::Success);
  ASSERT_EQ(params.responseLength, 18);
  EXPECT_EQ(frame(0, 18), expected(0xB2));
}

TEST_F(PassivePollingSimTest, MalformedLengthByteIsAProtocolError) {
  addTarget(0xA1, 0)->setLengthByte(0x11);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}), status::ProtocolError);
  EXPECT_EQ(params.responseLength, 0);
}

TEST_F(PassivePollingSimTest, NobodyAnswersAndBadSlotsNeverReachTheLine) {
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}), status::Timeout);
  EXPECT_EQ(params.responseLength, 0);
  trafficBytes();
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x02}), status::InvalidParameter);  // time slot 2
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x10}), status::InvalidParameter);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00}), status::InvalidParameter);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}, 20), status::InvalidParameter);  // room for 1 frame
  EXPECT_EQ(trafficBytes(), 0u);
}

}  // namespace
}  // namespace kvt::chip
