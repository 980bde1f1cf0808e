#include "chip/passive_polling.h"

#include <gtest/gtest.h>

#include "chip/serial_bus.h"
#include "support/register_script.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes answerFrame(uint8_t length, uint8_t idTail) {
  Bytes f(length, 0x00);
  f[0] = length;
  f[1] = 0x01;
  for (int i = 2; i < length; ++i) f[i] = static_cast<uint8_t>(0x10 + i);
  f[9] = idTail;
  return f;
}

class PassivePollingTest : public ::testing::Test {
 protected:
  PassivePollingTest() : script(port) {
    bus.setPort(&port);
    control.Init(&bus);
    polling.Init(&control, 1);
  }

  // The whole traffic of a poll whose collect-until-timer transceive finds `fifo` in the FIFO.
  void scriptPoll(const Bytes& request, const Bytes& fifo, uint16_t capacity) {
    script.modify(0x13, 0x82, 0x04, true);
    script.read(0x01, 0x00).write(0x01, 0x0C);
    script.write(0x04, 0x01).write(0x05, 0x00).write(0x0A, 0x80);
    script.read(0x02, 0x00).write(0x02, 0x63).read(0x03, 0x00).write(0x03, 0x00);
    Bytes frame{0x06, 0x00};
    frame.insert(frame.end(), request.begin(), request.end());
    script.writeEach(0x09, frame);
    script.modify(0x0D, 0x00, 0x80, true);
    script.read(0x04, 0x20).read(0x05, 0x00);  // answers arrive, the timer still runs
    script.read(0x04, 0x61).read(0x05, 0x00);  // the timer expires
    script.modify(0x02, 0x63, 0x63, false).modify(0x03, 0x00, 0x00, false);
    script.read(0x0A, static_cast<uint8_t>(fifo.size())).read(0x0C, 0x00).read(0x06, 0x00);
    const size_t taken = std::min<size_t>(fifo.size(), capacity);
    script.readEach(0x09, Bytes(fifo.begin(), fifo.begin() + taken));
    script.write(0x04, 0x01).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
    script.modify(0x13, 0x86, 0x04, false).write(0x04, 0x20);
  }
  Status poll(const Bytes& request, uint16_t capacity) {
    params = {request.data(), static_cast<uint16_t>(request.size()), response, capacity, nullptr};
    return polling.Poll(&params);
  }
  Bytes delivered() const { return Bytes(response, response + params.responseLength); }

  test::ScriptedPort port;
  test::RegisterScript script;
  SerialBus bus;
  RegisterControl control;
  PassivePolling polling;
  uint8_t response[128] = {};
  PollingParams params{};
};

TEST_F(PassivePollingTest, ParametersAreCheckedWithoutTraffic) {
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x02}, 64), status::InvalidParameter);  // time slot 2
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x10}, 64), status::InvalidParameter);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00}, 64), status::InvalidParameter);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}, 20), status::InvalidParameter);
  EXPECT_TRUE(port.written().empty());
}

TEST_F(PassivePollingTest, TwoAnswersInDifferentSlotsArePackedToTheFront) {
  const Bytes a = answerFrame(18, 0xA1);
  const Bytes b = answerFrame(18, 0xB2);
  Bytes fifo = a;
  fifo.push_back(0x00);
  fifo.insert(fifo.end(), b.begin(), b.end());
  fifo.push_back(0x00);
  scriptPoll({0xFF, 0xFF, 0x00, 0x03}, fifo, 64);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x03}, 64), status::Success);
  Bytes expected = a;
  expected.insert(expected.end(), b.begin(), b.end());
  EXPECT_EQ(params.responseLength, 36);
  EXPECT_EQ(delivered(), expected);
  EXPECT_EQ(port.written(), script.expected());
}

TEST_F(PassivePollingTest, FramesFlaggedByTheChipAreDropped) {
  const Bytes bad = answerFrame(20, 0xBA);
  const Bytes good = answerFrame(18, 0x60);
  Bytes fifo = bad;
  fifo.push_back(0x04);  // received with a CRC error
  fifo.insert(fifo.end(), good.begin(), good.end());
  fifo.push_back(0x00);
  scriptPoll({0x12, 0xFC, 0x01, 0x07}, fifo, 64);
  EXPECT_EQ(poll({0x12, 0xFC, 0x01, 0x07}, 64), status::Success);
  EXPECT_EQ(delivered(), good);
  EXPECT_EQ(port.written(), script.expected());
}

TEST_F(PassivePollingTest, MalformedLengthByteIsAProtocolError) {
  Bytes fifo = answerFrame(18, 0x01);
  fifo[0] = 0x11;
  fifo.push_back(0x00);
  scriptPoll({0xFF, 0xFF, 0x00, 0x00}, fifo, 64);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}, 64), status::ProtocolError);
  EXPECT_EQ(params.responseLength, 0);
  EXPECT_EQ(port.written(), script.expected());
}

TEST_F(PassivePollingTest, SilenceAndAFrameWithoutItsStatusByte) {
  scriptPoll({0xFF, 0xFF, 0x00, 0x00}, {}, 64);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}, 64), status::Timeout);
  EXPECT_EQ(params.responseLength, 0);
  // A frame cut off before the chip's status byte is not trusted.
  scriptPoll({0xFF, 0xFF, 0x00, 0x00}, answerFrame(18, 0x01), 64);
  EXPECT_EQ(poll({0xFF, 0xFF, 0x00, 0x00}, 64), status::Timeout);
  EXPECT_EQ(params.responseLength, 0);
  EXPECT_EQ(port.written(), script.expected());
}

TEST(PassivePollingTargetModeTest, HandsTheChipToAutomaticAnticollision) {
  test::ScriptedPort port;
  test::RegisterScript script(port);
  SerialBus bus;
  bus.setPort(&port);
  RegisterControl control;
  control.Init(&bus);
  PassivePolling polling;
  polling.Init(&control, 0);
  script.read(0x01, 0x3C).write(0x01, 0x3D);
  PollingParams p{nullptr, 0, nullptr, 0, nullptr};
  EXPECT_EQ(polling.Poll(&p), status::Success);
  EXPECT_EQ(port.written(), script.expected());
}

}  // namespace
}  // namespace kvt::chip
